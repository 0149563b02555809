// Decisions about a skin folder that need no Windows: which "Skin.bin" contents are taken over
// the live record, where a skin's files lie, and how big the frame and the window become.
// The file and image access itself is in skin_folder_win.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "state/skin_record.h"

constexpr const char* kSkinFileName = "Skin.bin";
constexpr const char* kDefaultSkinFolder = "Cluster";

// What a "Skin.bin" read did to the live record.
enum class SkinFileResult {
    Missing,        // the file could not be opened (set by the Windows reader)
    Short,          // fewer than 5660 bytes: ignored
    UnknownVersion, // neither version 3 nor 4: ignored
    Upgraded,       // version 3: taken and upgraded to version 4
    Taken,          // version 4: taken as it is
};

// Applies the bytes read from "Skin.bin" to the live record: only the first 5660 bytes count,
// fewer leave the record alone, version 3 is taken and upgraded, version 4 is taken, any other
// version is ignored.
SkinFileResult ApplySkinFileBytes(const uint8_t* data, std::size_t size, SkinRecord& live);

inline bool SkinFileWasTaken(SkinFileResult r) {
    return r == SkinFileResult::Upgraded || r == SkinFileResult::Taken;
}

// dir + "\" + name, without doubling a separator that dir already ends with. An empty dir gives
// name alone.
std::string JoinSkinPath(const std::string& dir, const std::string& name);

// The path with its extension (the part after the last '.' of the last component) replaced by
// ".bmp", or ".bmp" appended when it has none: the fallback of every skin image.
std::string BmpFallbackPath(const std::string& path);

// The nine image slots of a skin, in load order, and their file names.
enum SkinImageSlot : int32_t {
    kImageArrow = 0, // heading-rose needle; its size is the frame's base size
    kImageNeedle,
    kImageHour,
    kImageMinute,
    kImageSecond,
    kImageGaugeV,
    kImageGaugeH,
    kImageNeedle2,
    kImageBackground, // its size is the frame size
    kSkinImageCount
};
const char* SkinImageFileName(int slot); // "Arrow.png" ... "Background.png"; "" out of range

struct PixelSize {
    int32_t width = 0;
    int32_t height = 0;
};

struct SkinGeometry {
    PixelSize base;   // the Arrow image's size, 100 x 100 without one
    PixelSize frame;  // frame (back buffer) size
    PixelSize window; // window size, stretched by a fifth with the stretch option
};

constexpr int32_t kDefaultBaseSize = 100;

// A height one fifth taller (integer division) with the stretch option, as the window shows it.
inline int32_t StretchedHeight(int32_t height, bool stretch) {
    return stretch ? height + height / 5 : height;
}

// Sizes the frame and the window from the skin's images:
// base = Arrow's size or 100 x 100; frame = Background's size, or base plus twice the heading
// rose's (kind 2) x and y; window = the larger of base and frame in each direction, its height
// grown by h / 5 (integer division) when stretch is set.
SkinGeometry ComputeSkinGeometry(std::optional<PixelSize> arrow,
                                 std::optional<PixelSize> background,
                                 const GaugeRecord& headingRose, bool stretch);
