// The gauge-display program's state record: window handles, option bits, window placement,
// pointer hiding, host-window following, and every persisted setting. One instance lives for the
// whole run (App()); the main window, the settings store, the tray menu, the configuration dialog
// and the gauge code read and write its fields directly.
//
// Portable: only stand-in types from state/win_types.h, so the record builds and is tested
// without <windows.h>.
#pragma once

#include <cstdint>

#include "state/win_types.h"
#include "state/skin_record.h"
#include "state/geo_point.h"

// Bits of AppState::options (persisted as the "Metric" setting).
constexpr uint32_t kOptionMetric = 0x01;           // metric units
constexpr uint32_t kOptionFixedNorth = 0x02;       // the heading rose is not turned
constexpr uint32_t kOptionStretch = 0x04;          // frame shown one fifth taller (h + h / 5)
constexpr uint32_t kOptionAlwaysOnTop = 0x08;      // topmost window
constexpr uint32_t kOptionHideMouse = 0x10;        // hide a still pointer after 5 s
constexpr uint32_t kOptionStartWithWindows = 0x20; // Run value "NMEAVantrel"

// Fixed text buffer sizes, as stored in the registry rows.
constexpr int kSkinFolderSize = 256; // "ForeSkin": at most 255 characters and the terminator
constexpr int kShortPathSize = 128;  // "TripLogPath", "LogPath"

// Frame timer periods (milliseconds) the configuration dialog chooses between.
constexpr uint32_t kFastDrawRate = 100;
constexpr uint32_t kSlowDrawRate = 500;

// Earlier name of the position type of "Home" and "OdoLastPos", kept for code written with it.
using LatLon = GeoPoint;

struct AppState {
    // --- window and run state ---
    ModuleHandle instance = nullptr;     // from the entry point
    WindowHandle mainWindow = nullptr;   // set at window start
    WindowHandle configDialog = nullptr; // non-null while the configuration dialog is open
    int32_t dialogKind = 0; // the kind the dialog edits; kept when it closes, so it reopens there
    uint32_t options = 0;   // kOption* bits; persisted as "Metric"
    RectI32 windowRect{};   // screen rectangle, refreshed on every move; "WindowPosition"
    int32_t frameWidth = 0; // frame bitmap size, set by the skin load
    int32_t frameHeight = 0;
    uint32_t osMajorVersion = 0;    // Windows major version, read at window start
    int32_t displayedHeading = 180; // smoothed heading 0..359 handed to values and composer
    uint32_t tripLogOn = 0;         // 0 or 1; persisted as "TripLog"; mirrors NavState's flag
    bool cursorHidden = false;      // the system arrow is replaced by a blank pointer
    uint32_t stillSeconds = 0;      // second ticks in a row with an unchanged pointer
    PointI32 lastCursorPos{};       // pointer position at the previous second tick
    CursorHandle savedArrowCursor = nullptr; // copy of the system arrow while it is hidden
    WindowHandle hostWindow = nullptr;       // window the gauge window follows (command line)
    int32_t hostOffsetX = 0;                 // offsets from the host window (command line)
    int32_t hostOffsetY = 0;
    RectI32 lastHostRect{-1, -1, -1, -1}; // host rectangle at the previous frame tick
    bool skinFromCommandLine = false;     // skinFolder came from the command line
    SystemTime16 suspendTime{};           // local time taken when a suspend was announced

    // --- persisted settings (the settings table moves them to and from the registry) ---
    char skinFolder[kSkinFolderSize] = {}; // "ForeSkin"; "Cluster" when empty after loading
    uint32_t drawRate = kFastDrawRate;     // "DrawRate": frame timer period, ms
    uint32_t playSpeed = 1;                // "PlaySpeed": playback lines per tick minus one
    char playbackPath[kShortPathSize] = "C:\\GPSLog\\GPS.gps"; // "LogPath" (read only)
    char tripLogPath[kShortPathSize] = "C:\\GPSLog\\Trip.log"; // "TripLogPath"
    GeoPoint home{};                                           // "Home"
    float odometer = 0.0f;                                     // "Odometer", statute miles
    GeoPoint odoLastPos{};                                     // "OdoLastPos": last trail point
    SkinRecord skin = DefaultSkinRecord();                     // "Skin2": the live skin
};

// The program's one AppState.
AppState& App();

// Whether option bit(s) are set.
inline bool HasOption(const AppState& app, uint32_t bit) {
    return (app.options & bit) != 0;
}
