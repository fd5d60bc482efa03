#pragma once

// The choices of the save-data window, read on the GUI thread and handed to the writers.
struct SaveDataSettings
{
    bool asTiff = true;
    bool fixedScale = false;
    double scaleMin = 0.0;
    double scaleMax = 10.0;
    bool asAnalyzed = false;
    bool commaSeparated = true;
    bool xyVal = true;
};
