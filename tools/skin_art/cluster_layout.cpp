#include "tools/skin_art/cluster_layout.h"

#include <cstring>

namespace cluster {
namespace {

constexpr uint32_t kAmber = 0xFFFFB020;
constexpr uint32_t kWhite = 0xFFE6EAF0;
constexpr uint32_t kGreen = 0xFF40D060;
constexpr uint32_t kNeedleRed = 0xFFE04030;

void Place(SkinRecord& skin, int kind, int x, int y, uint16_t size, uint32_t color) {
    GaugeRecord& r = KindRecord(skin, kind);
    std::strcpy(r.fontName, "Arial");
    r.x = uint16_t(x);
    r.y = uint16_t(y);
    r.paramA = size;
    r.color = color;
    SetKindShown(skin, kind, true);
}

} // namespace

SkinRecord ClusterSkinRecord() {
    SkinRecord skin = DefaultSkinRecord();
    skin.shownMask[0] = skin.shownMask[1] = 0;

    Place(skin, kKindSpeed, kColumnX, 28, 15, kAmber);
    Place(skin, kKindCourse, kColumnX, 76, 11, kWhite);
    Place(skin, kKindAltitude, kColumnX, 108, 11, kWhite);
    Place(skin, kKindTrip, kColumnX, 140, 11, kWhite);
    Place(skin, kKindTime, kClockX - 28, 160, 9, kWhite);

    Place(skin, kKindSignal, kColumnX, 172, 3, kGreen); // bars 3 px wide
    KindRecord(skin, kKindSignal).paramB = 16;          // and 16 px high

    // The hands are images; the width and colour serve the polygon hands of a skin without them.
    Place(skin, kKindClock, kClockX, kClockY, 4, kWhite);
    KindRecord(skin, kKindClock).paramB = kClockSize;

    // The rose's needle is Arrow.png; length and width serve as its polygon fallback.
    Place(skin, kKindVantrel, kRoseX, kRoseY, 6, kNeedleRed);
    KindRecord(skin, kKindVantrel).paramB = kRoseRadius - 12;
    return skin;
}

} // namespace cluster
