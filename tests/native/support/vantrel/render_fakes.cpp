#include "vantrel/render_fakes.h"

#include <cstdio>

namespace fakes {
namespace {

DisplayServices& State() {
    static DisplayServices services;
    return services;
}

void Invalidate(WindowHandle, const RectI32* rect) {
    if (rect)
        State().invalidated.push_back(*rect);
    else
        ++State().wholeWindowInvalidations;
}

void Beep() {
    ++State().beeps;
}

SystemTime16 LocalTime(const SystemTime16* utc) {
    ++State().localTimeCalls;
    State().lastUtc = utc;
    if (!utc) return State().systemLocal;
    SystemTime16 local = *utc;
    local.hour = uint16_t((local.hour + 1) % 24);
    return local;
}

void FormatTime(const SystemTime16& t, char* buffer, int size) {
    std::snprintf(buffer, size_t(size), "%02d:%02d:%02d", t.hour, t.minute, t.second);
}

void FormatDate(const SystemTime16& t, bool longDate, char* buffer, int size) {
    std::snprintf(buffer, size_t(size), longDate ? "long %d/%d/%d" : "%d.%d.%d", t.day, t.month,
                  t.year);
}

bool IsActiveWindow(WindowHandle window) {
    return window != nullptr && window == State().activeWindow;
}

PointI32 CursorPosition() {
    return State().cursor;
}

void DrawFocusRect(WindowHandle, const RectI32& rect) {
    State().focusRects.push_back(rect);
}

} // namespace

DisplayServices& Services() {
    return State();
}

void ResetServices() {
    State() = DisplayServices{};
}

DisplayHooks FakeDisplayHooks() {
    DisplayHooks hooks;
    hooks.invalidate = Invalidate;
    hooks.beep = Beep;
    hooks.localTime = LocalTime;
    hooks.formatTime = FormatTime;
    hooks.formatDate = FormatDate;
    hooks.isActiveWindow = IsActiveWindow;
    hooks.cursorPosition = CursorPosition;
    hooks.drawFocusRect = DrawFocusRect;
    return hooks;
}

} // namespace fakes
