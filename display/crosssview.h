#pragma once

#include "display/chcoord.h"
#include "display/dispa.h"
#include "spectra/spectrum.h"

// Profile of the image along the row (horizontal) or the column (vertical) under the
// cursor, with a marker at the cursor's column or row. The wheel does not zoom it.
class CrossSView : public DispA
{
    Q_OBJECT

public:
    enum Orientation { Horizontal = 0, Vertical = 1 };

    explicit CrossSView(QWidget *parent = nullptr);

    // Takes a copy of the points (position, value) of profile; the ranges become the
    // profile's own.
    void setProfile(const Spectrum &profile);
    const Spectrum &profile() const { return mProfile; }
    // The ranges the profile is drawn in.
    void setRanges(double positionMin, double valueMin, double positionMax, double valueMax);
    // With the flag on, positions are drawn less the offset.
    void setOffset(bool on, double offset);
    void setOrientation(int orientation) { mOrientation = orientation; }
    int orientation() const { return mOrientation; }
    // The cursor's column (horizontal profile) or row (vertical profile); drawn without the
    // offset.
    void setMarker(int position) { mMarker = position; }
    int marker() const { return mMarker; }
    const ChCoord &profileCoord() const { return mProfileCoord; }

public slots:
    void draw(QPainter *p);

private:
    ChCoord mProfileCoord;
    Spectrum mProfile;
    double mPositionMin = 0.0;
    double mValueMin = 0.0;
    double mPositionMax = 0.0;
    double mValueMax = 0.0;
    bool mOffsetOn = false;
    double mOffset = 0.0;
    int mOrientation = Horizontal;
    int mMarker = 0;
};
