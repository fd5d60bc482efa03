#pragma once

// Registers the embedded resources (translation, X-ray tables). The resources live in a
// static library, so every executable that uses them calls this once at start.
void initMarvolentiResources();
