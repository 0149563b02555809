#include "config/config_dialog.h"

#include <cstring>

#include "state/app_state.h"

namespace {

constexpr int kChannelShift[4] = {24, 16, 8, 0}; // alpha, red, green, blue in 0xAARRGGBB
constexpr uint32_t kFastRate = 100;
constexpr uint32_t kSlowRate = 500;

bool EndsWithGps(const std::string& name) {
    static const char kExtension[] = ".gps";
    const std::size_t n = sizeof kExtension - 1;
    if (name.size() <= n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        char c = name[name.size() - n + i];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (c != kExtension[i]) return false;
    }
    return true;
}

} // namespace

int32_t ParamDLimit(int32_t kind) {
    const char* label = GaugeParamLabel(kind, 3);
    if (label[0] == 'S') return 360;
    if (label[0] == 'T') return 12;
    return 55;
}

uint8_t ChannelOf(uint32_t color, ColorChannel channel) {
    return uint8_t(color >> kChannelShift[channel]);
}

uint32_t WithChannel(uint32_t color, ColorChannel channel, int32_t value) {
    const int shift = kChannelShift[channel];
    const uint32_t byte = uint32_t(value < 0 ? 0 : (value > kChannelMax ? kChannelMax : value));
    return (color & ~(0xFFu << shift)) | (byte << shift);
}

KindControlValues PrepareKindControls(SkinRecord& skin, int32_t kind) {
    GaugeRecord& record = KindRecord(skin, kind);
    if (ChannelOf(record.color, kChannelAlpha) == 0)
        record.color = WithChannel(record.color, kChannelAlpha, kChannelMax);

    KindControlValues v;
    v.shown = IsKindShown(skin, kind);
    v.paramA = record.paramA;
    v.paramB = record.paramB;
    v.paramC = record.paramC;
    v.paramD = record.paramD;
    v.paramDMax = ParamDLimit(kind);
    for (int c = kChannelAlpha; c <= kChannelBlue; ++c)
        v.channels[c] = ChannelOf(record.color, ColorChannel(c));
    v.x = record.x;
    v.y = record.y;
    for (int slot = 0; slot < kParamLabelCount; ++slot)
        v.labels[slot] = GaugeParamLabel(kind, slot);
    // The stored name need not be terminated within its 64 bytes; the dialog compares it with
    // the font list's names, so it gets a terminated copy's worth: at most 63 characters.
    record.fontName[kFontNameSize - 1] = '\0';
    v.fontName = record.fontName;
    v.opacity = uint8_t(skin.opacity & 0xFF);
    return v;
}

uint32_t ToggledDrawRate(uint32_t drawRate) {
    return drawRate == kFastRate ? kSlowRate : kFastRate;
}

uint32_t PlaySpeedFromTrack(int32_t position) {
    if (position < 0) position = 0;
    if (position > kPlaySpeedTrackMax) position = kPlaySpeedTrackMax;
    return uint32_t(position) + 1;
}

int32_t TrackFromPlaySpeed(uint32_t playSpeed) {
    return playSpeed > uint32_t(kPlaySpeedTrackMax) ? kPlaySpeedTrackMax : int32_t(playSpeed);
}

LayeredOpacity OpacityAttributes(uint32_t opacity) {
    const uint8_t alpha = uint8_t(opacity & 0xFF);
    return {alpha, alpha != 255};
}

std::string LogFolderOf(const char* playbackPath) {
    const std::string path(playbackPath ? playbackPath : "");
    const std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return ".";
    return path.substr(0, slash);
}

std::string LogPathFor(const char* playbackPath, const std::string& logName) {
    if (logName.empty() || logName.size() > std::size_t(kMaxLogNameChars)) return std::string();
    return LogFolderOf(playbackPath) + "\\" + logName;
}

bool OffersSkinFolder(const std::string& name, bool isFolder) {
    return isFolder && !name.empty() && name[0] != '.' &&
           name.size() < std::size_t(kSkinFolderSize);
}

bool OffersLogFile(const std::string& name, bool isFolder, bool hidden, bool offline) {
    return !isFolder && !hidden && !offline && EndsWithGps(name);
}
