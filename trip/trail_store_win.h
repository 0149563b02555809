// "Trails.dat": the trail ring between runs (the file is the ring, byte for byte).
#pragma once

#include "state/trail_ring.h"

// At the entry point, after the working directory is the program folder and before the main
// window starts. A missing file, another magic or a bad index gives the empty ring; a short
// file fills the beginning of an empty ring.
void LoadTrailStore(TrailRing& ring, const char* path = kTrailFileName);

// At the suspend query, the configuration dialog's OK and process teardown. The ring goes to a
// new file that then replaces the old one in one step, so a failure or a power cut leaves the
// previous trail, never a broken or empty one. Returns false when nothing was replaced.
bool SaveTrailStore(const TrailRing& ring, const char* path = kTrailFileName);
