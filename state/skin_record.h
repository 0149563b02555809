// The skin record: which gauges are shown and how each of the 59 gauge kinds looks.
//
// The record is kept byte for byte in the registry value "Skin2" and in a skin folder's
// "Skin.bin", so its layout below is a stored format: fixed-width fields, little-endian,
// natural alignment gives exactly the offsets asserted at the end of this file.
#pragma once

#include <cstddef>
#include <cstdint>

// Gauge kinds. A kind selects the gauge's meaning, its display name, its parameter labels and
// its record: kind k always uses SkinRecord::gauges[k]. Every per-kind array is indexed by it.
enum GaugeKind : int32_t {
    kKindCourse = 0,
    kKindHorizVantrel = 1, // heading tape
    kKindVantrel = 2,      // heading rose; its position also sizes the frame without a background
    kKindKnots = 3,
    kKindAltitude = 4,
    kKindOdometer = 5,
    kKindLongitude = 6,
    kKindLatitude = 7,
    kKindTime = 8,
    kKindShortDate = 9,
    kKindLongDate = 10,
    kKindTrip = 11,
    kKindDistHome = 12,
    kKindSignal = 13,
    kKindSatellites = 14,
    kKindClock = 15,
    kKindHomeTarget = 16,
    kKindTrails = 17,
    kKindSpeed = 18,
    kKindSpeedometer = 19,
    kKindNeedleColor = 20, // never drawn; its colour is the needle and bar colour
    kKindObd2Speed = 21,
    kKindObd2Speedometer = 22,
    kKindObd2Mpg = 23,
    kKindObd2MpgGauge = 24,
    kKindObd2LtMpg = 25,
    kKindObd2Rpm = 26,
    kKindObd2RpmGauge = 27,
    kKindObd2ConstLoad = 28,
    kKindObd2ClvGauge = 29,
    kKindObd2TimingAdv = 30,
    kKindObd2TAdvGauge = 31,
    kKindObd2AirInTemp = 32,
    kKindObd2AitGauge = 33,
    kKindObd2MafRate = 34,
    kKindObd2MafGauge = 35,
    kKindObd2ThrottlePos = 36,
    kKindObd2TpsGauge = 37,
    kKindObd2InManifPres = 38,
    kKindObd2ImpGauge = 39,
    kKindObd2Stft1 = 40,
    kKindObd2Stft1Gauge = 41,
    kKindObd2Stft2 = 42,
    kKindObd2Stft2Gauge = 43,
    kKindObd2Ltft1 = 44,
    kKindObd2Ltft1Gauge = 45,
    kKindObd2Ltft2 = 46,
    kKindObd2Ltft2Gauge = 47,
    kKindObd2FuelPressure = 48,
    kKindObd2FpGauge = 49,
    kKindObd2CoolantTemp = 50,
    kKindObd2CtGauge = 51,
    kKindObd2Odometer = 52,
    kKindObd2Trip = 53,
    kKindObd2Volts = 54,
    kKindObd2VoltsGauge = 55,
    kKindDepth = 56,
    kKindDepthGauge = 57,
    kKindAvgSpeed = 58,
};

constexpr int kGaugeKindCount = 59;   // kinds 0 to 58
constexpr int kGaugeRecordCount = 64; // records 59 to 63 are spare: stored, never drawn
constexpr int kParamLabelCount = 4;   // label slots 0 to 3
constexpr int kParamLabelSize = 8;    // at most 7 characters and the terminator

constexpr uint32_t kSkinVersionCurrent = 4;   // colours are ARGB 0xAARRGGBB
constexpr uint32_t kSkinVersionGdiColors = 3; // colours are GDI references 0x00BBGGRR
constexpr uint32_t kSkinVersionDiscarded = 1; // a stored record of this version is thrown away

constexpr std::size_t kSkinRecordSize = 5660;
constexpr std::size_t kGaugeRecordSize = 88;
constexpr std::size_t kFontNameSize = 64;

// One gauge kind's style and place. Field order is the stored order, not the label order:
// the configuration dialog shows label 0 beside paramB, 1 beside paramA, 2 beside paramC and
// 3 beside paramD.
struct GaugeRecord {
    char fontName[kFontNameSize]; // zero-terminated ANSI family name
    uint16_t paramA;              // label 1; the font size in points for text gauges
    uint16_t paramB;              // label 0
    uint32_t color;               // straight ARGB 0xAARRGGBB (GDI 0x00BBGGRR in version 3)
    uint16_t x;                   // position in frame pixels
    uint16_t y;
    uint16_t paramC; // label 2
    uint16_t paramD; // label 3
    uint8_t reserved[8];
};

struct SkinRecord {
    char magic[4];         // "SKIN"; written, never checked on reading
    uint32_t version;      // see kSkinVersion*
    uint32_t opacity;      // window alpha in the low byte, other bytes zero
    uint32_t shownMask[2]; // word 0 holds kinds 0-31, word 1 kinds 32-63
    uint8_t reserved[8];
    GaugeRecord gauges[kGaugeRecordCount];
};

static_assert(sizeof(GaugeRecord) == kGaugeRecordSize, "GaugeRecord is 88 bytes");
static_assert(offsetof(GaugeRecord, fontName) == 0, "GaugeRecord.fontName");
static_assert(offsetof(GaugeRecord, paramA) == 64, "GaugeRecord.paramA");
static_assert(offsetof(GaugeRecord, paramB) == 66, "GaugeRecord.paramB");
static_assert(offsetof(GaugeRecord, color) == 68, "GaugeRecord.color");
static_assert(offsetof(GaugeRecord, x) == 72, "GaugeRecord.x");
static_assert(offsetof(GaugeRecord, y) == 74, "GaugeRecord.y");
static_assert(offsetof(GaugeRecord, paramC) == 76, "GaugeRecord.paramC");
static_assert(offsetof(GaugeRecord, paramD) == 78, "GaugeRecord.paramD");
static_assert(offsetof(GaugeRecord, reserved) == 80, "GaugeRecord.reserved");

static_assert(sizeof(SkinRecord) == kSkinRecordSize, "SkinRecord is 5660 bytes");
static_assert(offsetof(SkinRecord, magic) == 0, "SkinRecord.magic");
static_assert(offsetof(SkinRecord, version) == 4, "SkinRecord.version");
static_assert(offsetof(SkinRecord, opacity) == 8, "SkinRecord.opacity");
static_assert(offsetof(SkinRecord, shownMask) == 12, "SkinRecord.shownMask");
static_assert(offsetof(SkinRecord, reserved) == 20, "SkinRecord.reserved");
static_assert(offsetof(SkinRecord, gauges) == 28, "SkinRecord.gauges");

// The compiled-in skin: the record's content until "Skin2" or "Skin.bin" replaces it.
SkinRecord DefaultSkinRecord();

// Display name of a kind ("Depth Guage" as the program has always spelled it); "" outside 0-58.
const char* GaugeKindName(int kind);

// Parameter label of a kind for slot 0 to 3; "" when the parameter means nothing for the kind
// or the kind or slot is out of range.
const char* GaugeParamLabel(int kind, int slot);

// Shown test and toggle: kind k is bit (k mod 32) of shownMask[k / 32]. Kinds 0 to 63 are
// accepted (bits 59-63 are stored but draw nothing); other values test false and toggle nothing.
bool IsKindShown(const SkinRecord& skin, int kind);
void ToggleKindShown(SkinRecord& skin, int kind);
void SetKindShown(SkinRecord& skin, int kind, bool shown);

// The record of a kind (0 to 63).
GaugeRecord& KindRecord(SkinRecord& skin, int kind);
const GaugeRecord& KindRecord(const SkinRecord& skin, int kind);

// Called right after "Skin2" has been read over the live record: a record of version 1 becomes
// all zero bytes. Returns true when it discarded the record.
bool DiscardVersion1Skin(SkinRecord& skin);

// GDI colour reference 0x00BBGGRR to opaque ARGB 0xFFRRGGBB; the top byte is ignored.
uint32_t GdiColorToArgb(uint32_t colorRef);

// Version 3 to version 4: version becomes 4 and all 64 colours (spare records too) are rebuilt
// with GdiColorToArgb.
void UpgradeSkinFromVersion3(SkinRecord& skin);

// True when any of the 5660 bytes differ.
bool SkinRecordsDiffer(const SkinRecord& a, const SkinRecord& b);
