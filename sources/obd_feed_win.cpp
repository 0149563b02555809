#include "sources/obd_feed_win.h"

#include "sources/obd_requests.h"

namespace {

// Messages to the reader are sent, but a hung reader must not freeze the cluster.
constexpr UINT kReaderAnswerMs = 2000;

// A section smaller than the record would let every reader run past the end of the view.
bool ViewHoldsSnapshot(const void* view) {
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(view, &info, sizeof info) != sizeof info) return false;
    return info.RegionSize >= sizeof(ObdSnapshot);
}

ReaderAnswer SendToReader(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND reader = FindWindowA(nullptr, kObdReaderWindowTitle);
    if (reader == nullptr) return ReaderAnswer::Absent;
    DWORD_PTR answer = 0;
    SetLastError(NO_ERROR);
    if (SendMessageTimeoutA(reader, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                            kReaderAnswerMs, &answer) != 0)
        return ReaderAnswer::Answered;
    // A window that closed between the lookup and the send fails with an invalid handle;
    // a time-out (or a hung reader, refused at once) leaves the reader there.
    return GetLastError() == ERROR_INVALID_WINDOW_HANDLE ? ReaderAnswer::Absent
                                                         : ReaderAnswer::Busy;
}

ObdLinkOps LinkOps(ObdFeed& feed, const SkinRecord& skin, HWND mainWindow) {
    ObdLinkOps ops;
    ops.attach = [&feed] { OpenObdFeed(feed); };
    ops.announce = [mainWindow] {
        return SendToReader(kObdRegisterMessage, kObdRegisterWParam,
                            reinterpret_cast<LPARAM>(mainWindow));
    };
    ops.request = [&feed, &skin] { RequestObdPids(feed, skin); };
    return ops;
}

// The connection singleton: attaches when made, detaches when the process ends.
struct ObdFeedOwner {
    ObdFeed feed;
    ObdFeedOwner() { OpenObdFeed(feed); }
    ~ObdFeedOwner() { CloseObdFeed(feed); }
};

} // namespace

ObdFeed& Obd() {
    static ObdFeedOwner owner;
    return owner.feed;
}

void OpenObdFeed(ObdFeed& feed) {
    if (feed.view != nullptr) return;
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, kObdSectionName);
    if (mapping == nullptr) return;
    void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    if (view == nullptr || !ViewHoldsSnapshot(view)) {
        // Stay detached, holding nothing, so the next second tries again.
        if (view != nullptr) UnmapViewOfFile(view);
        CloseHandle(mapping);
        return;
    }
    feed.mapping = mapping;
    feed.view = static_cast<ObdSnapshot*>(view);
    feed.view->clientCount = static_cast<uint8_t>(feed.view->clientCount + 1);
}

void CloseObdFeed(ObdFeed& feed) {
    if (feed.view != nullptr) {
        if (feed.view->clientCount != 0)
            feed.view->clientCount = static_cast<uint8_t>(feed.view->clientCount - 1);
        UnmapViewOfFile(feed.view);
    }
    if (feed.mapping != nullptr) CloseHandle(static_cast<HANDLE>(feed.mapping));
    feed.view = nullptr;
    feed.mapping = nullptr;
    feed.registered = false;
}

void RequestObdPids(ObdFeed& feed, const SkinRecord& skin) {
    if (feed.view == nullptr) return;
    ApplyObdRequests(*feed.view, ObdRequestsForSkin(skin));
}

void ObdSecondTick(ObdFeed& feed, const SkinRecord& skin, HWND mainWindow) {
    ObdSecondStep(feed, LinkOps(feed, skin, mainWindow));
}

void ObdIdleTick(ObdFeed& feed, const SkinRecord& skin, HWND mainWindow) {
    ObdIdleStep(feed, LinkOps(feed, skin, mainWindow));
}

void SetObdMetric(ObdFeed& feed, bool metric) {
    if (feed.view != nullptr) SetObdMetricOption(*feed.view, metric);
}

bool SendObdOdometerReset() {
    return SendToReader(kObdResetOdometerMessage, 0, 0) == ReaderAnswer::Answered;
}
