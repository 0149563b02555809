// The most a skin may ask for. A "Skin.bin", its registry copy or a picture can hold any number;
// these caps keep a frame's memory, its drawing time and its arithmetic bounded. Every cap is
// far above what the configuration dialog lets anyone set (0 to 512), so a skin made with the
// program never meets one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "state/skin_record.h"

// Which number of a skin a cap bounds: a record field that has the given label in the kind's
// label table (so each cap applies to every kind whose field means that), or the frame's sides.
enum class CappedField { ParamA, ParamB, FrameSide };

struct SkinCap {
    CappedField field;
    const char* label; // the field's label; unused for the frame
    uint16_t limit;
};

inline constexpr SkinCap kSkinCaps[] = {
    // The back buffer and the window: larger than screens come, 64 MiB of pixels at most.
    {CappedField::FrameSide, "", 4096},
    // Font sizes in points of the texts and of the satellite numbers.
    {CappedField::ParamA, "Size", 1024},
    // Dial diameters, scale lengths, graph samples, the clock, the home mark and the map view:
    // nothing wider than the largest frame; keeps (h - 1) x snr and its kin inside 32 bits.
    {CappedField::ParamB, "Size", 4096},
    {CappedField::ParamB, "Length", 4096},
    {CappedField::ParamB, "GH", 4096},
    // Heights of the signal bars and of the heading tape (whose labels are 0.4 of it).
    {CappedField::ParamB, "Height", 1024},
    // The heading tape shows two whole turns at 1440 and is walked pixel by pixel; wider, its
    // first degree would stay negative. The same label bounds bar and needle widths.
    {CappedField::ParamA, "Width", 1440},
};

inline constexpr std::size_t kSkinCapCount = sizeof(kSkinCaps) / sizeof(kSkinCaps[0]);

// The frame-side cap of the table.
int32_t MaxFrameSide();

// Lowers every capped field of kinds 0 to 58 that is above its cap; the spare records are left
// as they are (nothing draws them). Returns how many fields it lowered.
int ApplySkinCaps(SkinRecord& skin);
