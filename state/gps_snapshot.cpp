#include "state/gps_snapshot.h"

const char* const kGpsStatusWords[kGpsStatusWordCount] = {"Enabled", "No Fix", "2D Fix", "3D Fix"};
const char kGpsNotConnectedWord[] = "N/C";

const char* GpsStatusWord(const GpsSnapshot& snapshot, bool attached) {
    if (!attached || snapshot.serverStatus >= kGpsStatusWordCount) return kGpsNotConnectedWord;
    return kGpsStatusWords[snapshot.serverStatus];
}
