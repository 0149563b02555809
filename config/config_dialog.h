// What the configuration dialog shows and decides, apart from the controls themselves: the values
// of one gauge kind's controls, the option toggles, and which folder entries its lists offer.
// The dialog window (config_dialog_win.cpp) only moves these values in and out of its controls.
#pragma once

#include <cstdint>
#include <string>

#include "state/skin_record.h"
#include "sources/playback.h"

// Colour channels in the order of their trackbars (1055 to 1058) and value fields (1046 to 1049).
enum ColorChannel : int32_t { kChannelAlpha = 0, kChannelRed, kChannelGreen, kChannelBlue };

constexpr int32_t kParamUpDownMax = 512;
constexpr int32_t kChannelMax = 255;
constexpr int32_t kPlaySpeedTrackMax = 10;
static_assert(kPlaySpeedTrackMax + 1 == int32_t(kMaxPlaySpeed), "the trackbar's speeds");
constexpr int kMaxFontNameChars = 62;
constexpr int kMaxLogNameChars = 126;

// Everything the dialog shows for one kind.
struct KindControlValues {
    bool shown = false;
    uint16_t paramA = 0, paramB = 0, paramC = 0, paramD = 0;
    int32_t paramDMax = 0;    // the "Type", "Sweep" or other fourth parameter's range
    uint8_t channels[4] = {}; // alpha, red, green, blue
    uint16_t x = 0, y = 0;
    const char* labels[kParamLabelCount] = {}; // slot order: beside paramB, paramA, paramC, paramD
    const char* fontName = "";
    uint8_t opacity = 0;
};

// The values for `kind` of the live skin. A colour with alpha 0 would draw nothing, so it is made
// opaque here, in the record itself (the change is saved like any other edit).
KindControlValues PrepareKindControls(SkinRecord& skin, int32_t kind);

// The fourth parameter's up-down range: 360 for a "Sweep", 12 for a "Type", 55 otherwise.
int32_t ParamDLimit(int32_t kind);

// One channel of an ARGB colour replaced by `value` (0 to 255).
uint32_t WithChannel(uint32_t color, ColorChannel channel, int32_t value);
uint8_t ChannelOf(uint32_t color, ColorChannel channel);

// "Fast": 500 ms when it was 100, otherwise 100.
uint32_t ToggledDrawRate(uint32_t drawRate);

// The play-speed trackbar gives positions 0 to 10; the records sent per tick are playSpeed + 1.
uint32_t PlaySpeedFromTrack(int32_t position);
// The trackbar position that shows a stored play speed.
int32_t TrackFromPlaySpeed(uint32_t playSpeed);

// Opacity attributes of the main window: alpha from the low byte; whether the alpha applies at
// all (it does not at 255, where only the black colour key is used).
struct LayeredOpacity {
    uint8_t alpha;
    bool useAlpha;
};
LayeredOpacity OpacityAttributes(uint32_t opacity);

// The folder of the "LogPath" value ("C:\GPSLog\GPS.gps" gives "C:\GPSLog"); "." for a bare name.
std::string LogFolderOf(const char* playbackPath);
// The playback path of a log picked from the list; empty when the name is empty or too long.
std::string LogPathFor(const char* playbackPath, const std::string& logName);

// Which directory entries the lists offer. The skin list takes sub-folders whose names do not
// begin with "." and fit the stored skin-folder name; the log list takes "*.gps" files that are
// neither folders nor hidden nor offline.
bool OffersSkinFolder(const std::string& name, bool isFolder);
bool OffersLogFile(const std::string& name, bool isFolder, bool hidden, bool offline);
