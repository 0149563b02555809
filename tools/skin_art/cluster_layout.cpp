#include "tools/skin_art/cluster_layout.h"

#include <cstring>

namespace cluster {
namespace {

constexpr uint32_t kAmber = 0xFFFFB020;
constexpr uint32_t kWhite = 0xFFE6EAF0;
constexpr uint32_t kScale = 0xFFD0D6DE;
constexpr uint32_t kNeedle = 0xFFFF5A28;
constexpr uint32_t kTrail = 0xFF40B0FF;
constexpr uint32_t kSatellite = 0xFF60E080;

GaugeRecord& Place(SkinRecord& skin, int kind, int x, int y, uint16_t paramA, uint32_t color) {
    GaugeRecord& r = KindRecord(skin, kind);
    std::strcpy(r.fontName, "Arial");
    r.x = uint16_t(x);
    r.y = uint16_t(y);
    r.paramA = paramA;
    r.color = color;
    SetKindShown(skin, kind, true);
    return r;
}

// An analog kind drawn as a dial centred on (cx, cy); the companion readout before it (not
// shown) carries the scale's direction (straight up) and sweep.
void Dial(SkinRecord& skin, int kind, int cx, uint16_t range) {
    GaugeRecord& r = Place(skin, kind, cx - kDialRadius, kDialY - kDialRadius, range, kScale);
    r.paramB = kDialSize;
    r.paramC = 0;
    r.paramD = 0; // dial with scale and needle
    GaugeRecord& companion = KindRecord(skin, kind - 1);
    companion.paramC = 0;
    companion.paramD = kDialSweep;
}

} // namespace

SkinRecord ClusterSkinRecord() {
    SkinRecord skin = DefaultSkinRecord();
    skin.shownMask[0] = skin.shownMask[1] = 0;

    Dial(skin, kKindSpeedometer, kSpeedX, kSpeedRange);
    Dial(skin, kKindObd2RpmGauge, kRpmX, kRpmRange);
    KindRecord(skin, kKindNeedleColor).color = kNeedle; // needles' fallback and the bar

    GaugeRecord& tape =
        Place(skin, kKindHorizVantrel, kMiddleX - kTapeWidth / 2, kTapeY, kTapeWidth, kWhite);
    tape.paramB = kTapeHeight;

    // The map view: centred on the satellites' place, sized and zoomed by the trail's record.
    Place(skin, kKindSatellites, kMiddleX, kMapY, 7, kSatellite);
    GaugeRecord& home = Place(skin, kKindHomeTarget, kMiddleX, kMapY, 0, kAmber);
    home.paramB = 8;
    GaugeRecord& trail = Place(skin, kKindTrails, kMiddleX, kMapY, kMapZoom, kTrail);
    trail.paramB = kMapSize;

    Place(skin, kKindAltitude, kLeftColumnX - 4, 58, 10, kWhite);
    Place(skin, kKindTrip, kLeftColumnX - 4, 108, 10, kWhite);
    Place(skin, kKindOdometer, kRightColumnX - 4, 58, 10, kWhite);
    Place(skin, kKindTime, kRightColumnX - 2, 108, 9, kWhite);

    // Speed trend: the OBD-II speed's recent history as a line graph; its height is the
    // companion readout's "GH".
    GaugeRecord& graph =
        Place(skin, kKindObd2Speedometer, kGraphX, kGraphY, kSpeedRange / 2, kAmber);
    graph.paramB = kGraphWidth;
    graph.paramC = 0;
    graph.paramD = 11;
    KindRecord(skin, kKindObd2Speed).paramB = kGraphHeight;

    // Coolant temperature on a horizontal scale with a bar.
    GaugeRecord& coolant = Place(skin, kKindObd2CtGauge, kBarX, kBarY, kCoolantRange, kScale);
    coolant.paramB = kBarLength;
    coolant.paramC = kCoolantStart;
    coolant.paramD = 4;
    return skin;
}

} // namespace cluster
