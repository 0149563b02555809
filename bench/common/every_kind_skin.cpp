#include "bench/common/every_kind_skin.h"

#include <cstring>

namespace every_kind {
namespace {

constexpr uint32_t kText = 0xFFE6EAF0;
constexpr uint32_t kScale = 0xFFD0D6DE;
constexpr uint32_t kNeedle = 0xFFFF5A28;
constexpr uint32_t kAmber = 0xFFFFB020;
constexpr uint32_t kTrail = 0xFF40B0FF;
constexpr uint32_t kSatellite = 0xFF60E080;

// The text kinds, laid out row by row in a grid of cells along the bottom of the frame.
constexpr int kTextKinds[] = {kKindCourse,
                              kKindKnots,
                              kKindAltitude,
                              kKindOdometer,
                              kKindLongitude,
                              kKindLatitude,
                              kKindTime,
                              kKindShortDate,
                              kKindLongDate,
                              kKindTrip,
                              kKindDistHome,
                              kKindSpeed,
                              kKindObd2Speed,
                              kKindObd2Mpg,
                              kKindObd2LtMpg,
                              kKindObd2Rpm,
                              kKindObd2ConstLoad,
                              kKindObd2TimingAdv,
                              kKindObd2AirInTemp,
                              kKindObd2MafRate,
                              kKindObd2ThrottlePos,
                              kKindObd2InManifPres,
                              kKindObd2Stft1,
                              kKindObd2Stft2,
                              kKindObd2Ltft1,
                              kKindObd2Ltft2,
                              kKindObd2FuelPressure,
                              kKindObd2CoolantTemp,
                              kKindObd2Odometer,
                              kKindObd2Trip,
                              kKindObd2Volts,
                              kKindDepth,
                              kKindAvgSpeed};
constexpr int kTextColumns = 5;
constexpr int32_t kCellWidth = 198; // room for the long date
constexpr int32_t kCellHeight = 24;
constexpr int32_t kGridX = 10;
constexpr int32_t kGridY = 545;
constexpr uint16_t kTextPoints = 9;

// Dials along the top, one diameter apart plus a gap.
constexpr int32_t kDialSize = 110;
constexpr int32_t kDialPitch = 120;
constexpr int32_t kDialY = 52;
// Horizontal linear gauges in a column left of the rose, vertical ones and graphs right of it.
constexpr int32_t kHorizontalX = 225;
constexpr uint16_t kHorizontalLength = 150;
constexpr uint16_t kVerticalLength = 100;
constexpr int32_t kGraphX = 790;
constexpr uint16_t kGraphSamples = 180;
constexpr uint16_t kGraphHeight = 40;

GaugeRecord& Place(SkinRecord& skin, int kind, int32_t x, int32_t y, uint32_t color) {
    GaugeRecord& r = KindRecord(skin, kind);
    std::strcpy(r.fontName, "Arial");
    r.x = uint16_t(x);
    r.y = uint16_t(y);
    r.color = color;
    SetKindShown(skin, kind, true);
    return r;
}

// An analog kind in style `type`: paramA the range, paramB the size (dial diameter, scale
// length or samples shown), paramC the start of the kinds that have one.
void Analog(SkinRecord& skin, int kind, int32_t x, int32_t y, uint16_t type, uint16_t range,
            uint16_t size, uint16_t start = 0) {
    GaugeRecord& r = Place(skin, kind, x, y, kScale);
    r.paramA = range;
    r.paramB = size;
    r.paramC = start;
    r.paramD = type;
}

// A dial takes its direction (straight up) and sweep from the readout before it.
void Dial(SkinRecord& skin, int kind, int slot, uint16_t type, uint16_t range,
          uint16_t sweep = 240) {
    Analog(skin, kind, 10 + slot * kDialPitch, kDialY, type, range, kDialSize);
    GaugeRecord& companion = KindRecord(skin, kind - 1);
    companion.paramC = 0;
    companion.paramD = sweep;
}

// A graph's height is the readout's paramB before it.
void Graph(SkinRecord& skin, int kind, int32_t y, uint16_t type, uint16_t range) {
    Analog(skin, kind, kGraphX, y, type, range, kGraphSamples);
    KindRecord(skin, kind - 1).paramB = kGraphHeight;
}

void PlaceTexts(SkinRecord& skin) {
    int cell = 0;
    for (int kind : kTextKinds) {
        GaugeRecord& r = Place(skin, kind, kGridX + (cell % kTextColumns) * kCellWidth,
                               kGridY + (cell / kTextColumns) * kCellHeight, kText);
        r.paramA = kTextPoints;
        ++cell;
    }
    KindRecord(skin, kKindLatitude).paramC = 0;  // degrees, minutes and seconds
    KindRecord(skin, kKindLongitude).paramC = 5; // decimal degrees
    KindRecord(skin, kKindObd2Mpg).paramB = 0;   // the reader's instant economy
}

void PlaceAnalogKinds(SkinRecord& skin) {
    Dial(skin, kKindSpeedometer, 0, 0, 160);
    Dial(skin, kKindObd2RpmGauge, 1, 0, 80);
    Dial(skin, kKindObd2MpgGauge, 2, 1, 60);
    Dial(skin, kKindObd2ClvGauge, 3, 2, 100);
    Dial(skin, kKindObd2AitGauge, 4, 3, 150);
    Dial(skin, kKindObd2TAdvGauge, 5, 0, 40, 180);
    Dial(skin, kKindObd2MafGauge, 6, 8, 100);

    Analog(skin, kKindObd2TpsGauge, kHorizontalX, 180, 4, 100, kHorizontalLength);
    Analog(skin, kKindObd2ImpGauge, kHorizontalX, 250, 5, 40, kHorizontalLength);
    Analog(skin, kKindObd2Ltft1Gauge, kHorizontalX, 280, 4, 25, kHorizontalLength);
    Analog(skin, kKindObd2FpGauge, kHorizontalX, 345, 9, 60, kHorizontalLength);
    Analog(skin, kKindObd2VoltsGauge, kHorizontalX, 410, 4, 16, kHorizontalLength, 8);

    Analog(skin, kKindObd2Stft1Gauge, 545, 190, 6, 25, kVerticalLength);
    Analog(skin, kKindObd2Stft2Gauge, 760, 190, 7, 25, kVerticalLength);
    Analog(skin, kKindObd2CtGauge, 545, 320, 10, 260, kVerticalLength, 20);

    Graph(skin, kKindObd2Speedometer, 190, 11, 100);
    Graph(skin, kKindDepthGauge, 250, 12, 30);
    Graph(skin, kKindObd2Ltft2Gauge, 320, 11, 25);
}

void PlaceDrawnKinds(SkinRecord& skin) {
    GaugeRecord& bars = Place(skin, kKindSignal, 10, 8, kSatellite);
    bars.paramA = 6;
    bars.paramB = 32;

    GaugeRecord& tape = Place(skin, kKindHorizVantrel, 360, 8, kText);
    tape.paramA = 280;
    tape.paramB = 28;

    GaugeRecord& rose = Place(skin, kKindVantrel, kRoseX, kRoseY, kNeedle);
    rose.paramA = 6;
    rose.paramB = 60;

    GaugeRecord& clock = Place(skin, kKindClock, 920, kDialY + kDialSize / 2, kText);
    clock.paramA = 4;
    clock.paramB = kDialSize;

    // The map view: centred on the satellites' place, sized and zoomed by the trail's record.
    GaugeRecord& satellites = Place(skin, kKindSatellites, 110, 300, kSatellite);
    satellites.paramA = 7;
    GaugeRecord& home = Place(skin, kKindHomeTarget, 110, 300, kAmber);
    home.paramB = 8;
    GaugeRecord& trail = Place(skin, kKindTrails, 110, 300, kTrail);
    trail.paramA = 60;
    trail.paramB = 100;

    // Never drawn: its colour is every needle's and bar's.
    Place(skin, kKindNeedleColor, 0, 0, kNeedle);
}

} // namespace

SkinRecord EveryKindSkinRecord() {
    SkinRecord skin = DefaultSkinRecord();
    skin.shownMask[0] = skin.shownMask[1] = 0;
    PlaceTexts(skin);
    PlaceAnalogKinds(skin);
    PlaceDrawnKinds(skin);
    return skin;
}

} // namespace every_kind
