// The gauge kinds' names, labels and compiled-in records, and the rules every user of the skin
// record shares: the shown mask, the version-1 discard and the version-3 colour upgrade.
#include "state/skin_record.h"

#include <cstring>

namespace {

struct KindDefault {
    const char* name;
    // Label slots 0 to 3, shown beside paramB, paramA, paramC and paramD.
    char labels[kParamLabelCount][kParamLabelSize];
    uint16_t paramA;
    uint16_t paramB;
    uint16_t paramC;
    uint16_t paramD;
    uint32_t color;
};

// clang-format off
const KindDefault kKinds[kGaugeKindCount] = {
    {"Course", {"", "Size", "", ""}, 12, 0, 0, 0, 0xFF00FF00},  // 0 shown
    {"Horiz Vantrel", {"Height", "Width", "", ""}, 210, 23, 0, 0, 0xFF00FF00},  // 1 shown
    {"Vantrel", {"Length", "Width", "", ""}, 38, 6, 0, 0, 0xFF00FF00},  // 2 shown
    {"Knots", {"", "Size", "", ""}, 12, 0, 0, 0, 0xFF00FF00},  // 3 shown
    {"Altitude", {"", "Size", "", ""}, 12, 0, 0, 0, 0xFF00FF00},  // 4 shown
    {"Odometer", {"", "Size", "", ""}, 12, 0, 0, 0, 0xFF00FF00},  // 5
    {"Longitude", {"", "Size", "Fmt", ""}, 12, 0, 0, 0, 0xFF00FF00},  // 6
    {"Latitude", {"", "Size", "Fmt", ""}, 12, 0, 0, 0, 0xFF00FF00},  // 7
    {"Time", {"", "Size", "", ""}, 12, 0, 0, 0, 0xFF00FF00},  // 8
    {"Short Date", {"", "Size", "", ""}, 12, 0, 0, 0, 0xFF00FF00},  // 9
    {"Long Date", {"", "Size", "", ""}, 12, 0, 0, 0, 0xFF00FF00},  // 10
    {"Trip", {"", "Size", "", ""}, 12, 0, 0, 0, 0xFF00FF00},  // 11 shown
    {"Dist Home", {"", "Size", "", ""}, 12, 0, 0, 0, 0xFF00FF00},  // 12
    {"Signal", {"Height", "Width", "", ""}, 3, 15, 0, 0, 0xFF00FF00},  // 13 shown
    {"Satellites", {"", "Size", "", ""}, 7, 0, 0, 0, 0xFF00FF00},  // 14 shown
    {"Clock", {"Size", "Width", "", ""}, 10, 100, 0, 0, 0xFF00FF00},  // 15
    {"Home Target", {"Size", "", "", ""}, 0, 10, 0, 0, 0xFF00FF00},  // 16 shown
    {"Trails", {"Size", "Zoom", "", ""}, 100, 80, 0, 0, 0xFF00FF00},  // 17 shown
    {"Speed", {"GH", "Size", "Angle", "Sweep"}, 12, 0, 0, 0, 0xFF00FF00},  // 18
    {"Speedometer", {"Size", "Range", "Start", "Type"}, 155, 145, 0, 0, 0xFF00FF00},  // 19
    {"Needle Color", {"", "", "", ""}, 0, 0, 0, 0, 0xFF0000FF},  // 20
    {"OBD2 Speed", {"GH", "Size", "Angle", "Sweep"}, 12, 0, 0, 0, 0xFF00FF00},  // 21
    {"OBD2 Speedometer", {"Size", "Range", "Start", "Type"}, 160, 145, 0, 0, 0xFFFF0000},  // 22
    {"OBD2 MPG", {"Time", "Size", "Angle", "Sweep"}, 12, 0, 0, 0, 0xFF00FF00},  // 23
    {"OBD2 MPG Gauge", {"Size", "Range", "Start", "Type"}, 12, 0, 0, 0, 0xFF00FF00},  // 24
    {"OBD2 LtMPG", {"", "Size", "", ""}, 12, 0, 0, 0, 0xFF00FF00},  // 25
    {"OBD2 RPM", {"GH", "Size", "Angle", "Sweep"}, 12, 0, 0, 0, 0xFF00FF00},  // 26
    {"OBD2 RPM Gauge", {"Size", "Range", "Start", "Type"}, 145, 70, 0, 0, 0xFF00FF00},  // 27
    {"OBD2 ConstLoad", {"GH", "Size", "Angle", "Sweep"}, 12, 0, 0, 0, 0xFF00FF00},  // 28
    {"OBD2 CLV Gauge", {"Size", "Range", "Start", "Type"}, 100, 90, 0, 0, 0xFF00FF00},  // 29
    {"OBD2 TimingAdv", {"GH", "Size", "Angle", "Sweep"}, 12, 0, 0, 0, 0xFF00FF00},  // 30
    {"OBD2 TAdv Gauge", {"Size", "Range", "Start", "Type"}, 120, 90, 0, 0, 0xFF00FF00},  // 31
    {"OBD2 AirInTemp", {"GH", "Size", "Angle", "Sweep"}, 12, 0, 0, 0, 0xFF00FF00},  // 32
    {"OBD2 AIT Gauge", {"Size", "Range", "Start", "Type"}, 90, 180, 0, 0, 0xFF00FF00},  // 33
    {"OBD2 MAF Rate", {"GH", "Size", "Angle", "Sweep"}, 12, 0, 0, 0, 0xFF00FF00},  // 34
    {"OBD2 MAF Gauge", {"Size", "Range", "Start", "Type"}, 55, 90, 0, 0, 0xFF00FF00},  // 35
    {"OBD2 ThrottlePos", {"GH", "Size", "Angle", "Sweep"}, 12, 0, 0, 0, 0xFF00FF00},  // 36
    {"OBD2 TPS Gauge", {"Size", "Range", "Start", "Type"}, 100, 90, 0, 0, 0xFF00FF00},  // 37
    {"OBD2 InManifPres", {"GH", "Size", "Angle", "Sweep"}, 12, 0, 0, 0, 0xFF00FF00},  // 38
    {"OBD2 IMP Gauge", {"Size", "Range", "Start", "Type"}, 60, 90, 0, 0, 0xFF00FF00},  // 39
    {"OBD2 STFT1", {"GH", "Size", "Angle", "Sweep"}, 12, 0, 0, 0, 0xFF00FF00},  // 40
    {"OBD2 STFT1 Gauge", {"Size", "Range", "Start", "Type"}, 60, 90, 0, 0, 0xFF00FF00},  // 41
    {"OBD2 STFT2", {"GH", "Size", "Angle", "Sweep"}, 12, 0, 0, 0, 0xFF00FF00},  // 42
    {"OBD2 STFT2 Gauge", {"Size", "Range", "Start", "Type"}, 60, 90, 0, 0, 0xFF00FF00},  // 43
    {"OBD2 LTFT1", {"GH", "Size", "Angle", "Sweep"}, 12, 0, 0, 0, 0xFF00FF00},  // 44
    {"OBD2 LTFT1 Gauge", {"Size", "Range", "Start", "Type"}, 60, 90, 0, 0, 0xFF00FF00},  // 45
    {"OBD2 LTFT2", {"GH", "Size", "Angle", "Sweep"}, 12, 0, 0, 0, 0xFF00FF00},  // 46
    {"OBD2 LTFT2 Gauge", {"Size", "Range", "Start", "Type"}, 60, 90, 0, 0, 0xFF00FF00},  // 47
    {"OBD2 FuelPressure", {"GH", "Size", "Angle", "Sweep"}, 12, 0, 0, 0, 0xFF00FF00},  // 48
    {"OBD2 FP Gauge", {"Size", "Range", "Start", "Type"}, 60, 90, 0, 0, 0xFF00FF00},  // 49
    {"OBD2 Coolant Temp", {"GH", "Size", "Angle", "Sweep"}, 12, 0, 0, 0, 0xFF00FF00},  // 50
    {"OBD2 CT Gauge", {"Size", "Range", "Start", "Type"}, 240, 90, 100, 0, 0xFF00FF00},  // 51
    {"OBD2 Odometer", {"", "Size", "", ""}, 12, 20, 0, 0, 0xFF00FF00},  // 52
    {"OBD2 Trip", {"", "Size", "", ""}, 12, 20, 0, 0, 0xFF00FF00},  // 53
    {"OBD2 Volts", {"GH", "Size", "Angle", "Sweep"}, 12, 20, 0, 0, 0xFF00FF00},  // 54
    {"OBD2 Volts Gauge", {"Size", "Range", "Start", "Type"}, 20, 90, 0, 0, 0xFF00FF00},  // 55
    {"Depth", {"GH", "Size", "Angle", "Sweep"}, 12, 20, 0, 0, 0xFF00FF00},  // 56
    {"Depth Guage", {"Size", "Range", "Start", "Type"}, 20, 90, 0, 0, 0xFF00FF00},  // 57
    {"Avg Speed", {"", "Size", "", ""}, 12, 20, 0, 0, 0xFF00FF00},  // 58
};
// clang-format on

// Kinds shown by the compiled-in skin: 0, 1, 2, 3, 4, 11, 13, 14, 16 and 17.
constexpr uint64_t kDefaultShownMask = 0x000000000003681FULL;

constexpr uint32_t kDefaultColor = 0xFF00FF00; // opaque green
constexpr const char* kDefaultFont = "Arial";

void SetDefaultGauge(GaugeRecord& g, uint16_t a, uint16_t b, uint16_t c, uint16_t d,
                     uint32_t color) {
    std::memset(&g, 0, sizeof g);
    std::strcpy(g.fontName, kDefaultFont);
    g.paramA = a;
    g.paramB = b;
    g.paramC = c;
    g.paramD = d;
    g.color = color;
    g.x = 1;
    g.y = 1;
}

bool KindInMask(int kind) {
    return kind >= 0 && kind < kGaugeRecordCount;
}

} // namespace

SkinRecord DefaultSkinRecord() {
    SkinRecord skin;
    std::memset(&skin, 0, sizeof skin);
    std::memcpy(skin.magic, "SKIN", 4);
    skin.version = kSkinVersionCurrent;
    skin.opacity = 255;
    skin.shownMask[0] = static_cast<uint32_t>(kDefaultShownMask);
    skin.shownMask[1] = static_cast<uint32_t>(kDefaultShownMask >> 32);
    for (int k = 0; k < kGaugeKindCount; ++k) {
        const KindDefault& d = kKinds[k];
        SetDefaultGauge(skin.gauges[k], d.paramA, d.paramB, d.paramC, d.paramD, d.color);
    }
    // The first spare record carries a usable text style; the other four stay zero bytes.
    SetDefaultGauge(skin.gauges[kGaugeKindCount], 20, 90, 0, 0, kDefaultColor);
    return skin;
}

const char* GaugeKindName(int kind) {
    if (kind < 0 || kind >= kGaugeKindCount) return "";
    return kKinds[kind].name;
}

const char* GaugeParamLabel(int kind, int slot) {
    if (kind < 0 || kind >= kGaugeKindCount || slot < 0 || slot >= kParamLabelCount) return "";
    return kKinds[kind].labels[slot];
}

bool IsKindShown(const SkinRecord& skin, int kind) {
    if (!KindInMask(kind)) return false;
    return (skin.shownMask[kind / 32] >> (kind % 32)) & 1u;
}

void ToggleKindShown(SkinRecord& skin, int kind) {
    if (!KindInMask(kind)) return;
    skin.shownMask[kind / 32] ^= 1u << (kind % 32);
}

void SetKindShown(SkinRecord& skin, int kind, bool shown) {
    if (IsKindShown(skin, kind) != shown) ToggleKindShown(skin, kind);
}

GaugeRecord& KindRecord(SkinRecord& skin, int kind) {
    return skin.gauges[kind];
}

const GaugeRecord& KindRecord(const SkinRecord& skin, int kind) {
    return skin.gauges[kind];
}

bool DiscardVersion1Skin(SkinRecord& skin) {
    if (skin.version != kSkinVersionDiscarded) return false;
    std::memset(&skin, 0, sizeof skin);
    return true;
}

uint32_t GdiColorToArgb(uint32_t colorRef) {
    return 0xFF000000u + ((colorRef & 0xFFu) << 16) + (colorRef & 0xFF00u) +
           ((colorRef >> 16) & 0xFFu);
}

void UpgradeSkinFromVersion3(SkinRecord& skin) {
    skin.version = kSkinVersionCurrent;
    for (GaugeRecord& g : skin.gauges)
        g.color = GdiColorToArgb(g.color);
}

bool SkinRecordsDiffer(const SkinRecord& a, const SkinRecord& b) {
    return std::memcmp(&a, &b, sizeof(SkinRecord)) != 0;
}
