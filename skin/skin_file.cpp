// Which "Skin.bin" contents are accepted, where a skin's files lie and how big its frame is.
#include "skin/skin_file.h"

#include "skin/skin_caps.h"

#include <algorithm>
#include <cstring>

SkinFileResult ApplySkinFileBytes(const uint8_t* data, std::size_t size, SkinRecord& live) {
    if (data == nullptr || size < kSkinRecordSize) return SkinFileResult::Short;
    // Read the version from the bytes, not through a record, so nothing is copied before the
    // file has been judged acceptable.
    uint32_t version = 0;
    std::memcpy(&version, data + offsetof(SkinRecord, version), sizeof version);
    if (version != kSkinVersionGdiColors && version != kSkinVersionCurrent) {
        return SkinFileResult::UnknownVersion;
    }
    std::memcpy(&live, data, kSkinRecordSize);
    if (version == kSkinVersionGdiColors) {
        UpgradeSkinFromVersion3(live);
        return SkinFileResult::Upgraded;
    }
    return SkinFileResult::Taken;
}

std::string JoinSkinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    const char last = dir.back();
    if (last == '\\' || last == '/') return dir + name;
    return dir + "\\" + name;
}

std::string BmpFallbackPath(const std::string& path) {
    const std::size_t component = path.find_last_of("\\/");
    const std::size_t dot = path.find_last_of('.');
    const bool hasExtension =
        dot != std::string::npos && (component == std::string::npos || dot > component);
    return (hasExtension ? path.substr(0, dot) : path) + ".bmp";
}

namespace {

const char* const kImageFiles[kSkinImageCount] = {
    "Arrow.png",  "Needle.png", "Hour.png",    "Minute.png",     "Second.png",
    "GaugeV.png", "GaugeH.png", "Needle2.png", "Background.png",
};

} // namespace

const char* SkinImageFileName(int slot) {
    if (slot < 0 || slot >= kSkinImageCount) return "";
    return kImageFiles[slot];
}

SkinGeometry ComputeSkinGeometry(std::optional<PixelSize> arrow,
                                 std::optional<PixelSize> background,
                                 const GaugeRecord& headingRose, bool stretch) {
    SkinGeometry g;
    g.base = arrow ? *arrow : PixelSize{kDefaultBaseSize, kDefaultBaseSize};
    if (background) {
        g.frame = *background;
    } else {
        g.frame.width = g.base.width + 2 * int32_t{headingRose.x};
        g.frame.height = g.base.height + 2 * int32_t{headingRose.y};
    }
    // However large the pictures or however far out the rose: a frame the caps allow.
    const int32_t side = MaxFrameSide();
    g.base.width = std::min(g.base.width, side);
    g.base.height = std::min(g.base.height, side);
    g.frame.width = std::min(g.frame.width, side);
    g.frame.height = std::min(g.frame.height, side);
    g.window.width = std::max(g.base.width, g.frame.width);
    g.window.height = std::max(g.base.height, g.frame.height);
    g.window.height = StretchedHeight(g.window.height, stretch);
    return g;
}
