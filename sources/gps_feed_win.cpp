#include "sources/gps_feed_win.h"

#include <windows.h>

#include "sources/peer_readings.h"
#include "sources/system_time_win.h"

namespace {

void StampTripStart(NavState& nav) {
    nav.tripStart = LocalTimeNow16();
}

// A section smaller than the record would let every reader run past the end of the view.
bool ViewHoldsSnapshot(const void* view) {
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(view, &info, sizeof info) != sizeof info) return false;
    return info.RegionSize >= sizeof(GpsSnapshot);
}

} // namespace

void OpenGpsFeed(NavState& nav) {
    if (nav.sensor != nullptr || nav.gpsMapping != nullptr) return;

    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, kGpsSectionName);
    if (mapping != nullptr) {
        void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
        if (view != nullptr && ViewHoldsSnapshot(view)) {
            nav.gpsMapping = mapping;
            nav.gpsView = static_cast<GpsSnapshot*>(view);
            nav.gpsView->clientCount += 1;
            nav.snapshot = &nav.reading;
            ReadGpsFeed(nav);
        } else {
            // Stay detached on the built-in record and try again at the next tick.
            if (view != nullptr) UnmapViewOfFile(view);
            CloseHandle(mapping);
        }
    }
    StampTripStart(nav);
}

void ReadGpsFeed(NavState& nav) {
    if (nav.gpsView != nullptr)
        nav.reading = ReadGpsSnapshot(*nav.gpsView);
    else
        // The location sensor's values come through the same gate.
        nav.builtInSnapshot = ReadGpsSnapshot(nav.builtInSnapshot);
}

void CloseGpsFeed(NavState& nav) {
    if (nav.gpsMapping == nullptr) return;
    if (nav.gpsView->clientCount != 0) nav.gpsView->clientCount -= 1;
    UnmapViewOfFile(nav.gpsView);
    CloseHandle(nav.gpsMapping);
    nav.gpsMapping = nullptr;
    nav.gpsView = nullptr;
    nav.snapshot = &nav.builtInSnapshot;
}
