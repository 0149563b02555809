// What GDI+ measured for a text, kept so that the same text in the same font, format, layout
// box and transform is measured once. Under Wine a measure costs tens of microseconds, and a
// frame measures the same dial numbers, tape labels and satellite numbers on every tick (twice
// over a cached frame: once to find what changed and once to draw it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

namespace gfx {

// Everything a measure depends on. Fonts and formats are named by their serial, which no other
// object ever shares, so a font freed and another made at the same address is never confused.
// A box as x, y, width and height.
struct MeasureBox {
    float x = 0, y = 0, width = 0, height = 0;
};

struct MeasureKey {
    uint64_t font = 0;
    uint64_t format = 0; // 0 for GDI+'s defaults
    MeasureBox layout;
    double transform[6] = {1, 0, 0, 1, 0, 0};
    std::u16string text;
};

class MeasureMemo {
  public:
    // At most this many texts are kept; a memo that grows past it starts again empty, which
    // bounds it however the values on the frame change.
    static constexpr std::size_t kLimit = 1024;

    bool Recall(const MeasureKey& key, MeasureBox* bounds) const;
    void Keep(const MeasureKey& key, const MeasureBox& bounds);
    std::size_t Size() const { return kept_.size(); }

  private:
    static std::string Bytes(const MeasureKey& key);
    std::unordered_map<std::string, MeasureBox> kept_;
};

} // namespace gfx
