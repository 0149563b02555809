// Any "Skin.bin": a file of another size or version leaves the live skin as it was; an accepted
// one becomes a version-4 skin that the value pass and the frame sizing can run on, with dial
// ranges that only grow and values that stay finite.
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>

#include "fuzz_input.h"
#include "skin/skin_file.h"
#include "sources/gauge_values.h"
#include "sources/peer_readings.h"
#include "state/skin_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const SkinRecord before = DefaultSkinRecord();
    SkinRecord live = before;
    const SkinFileResult result = ApplySkinFileBytes(data, size, live);
    uint32_t version = 0;
    if (size >= 8) std::memcpy(&version, data + 4, sizeof version);
    if (size < kSkinRecordSize) {
        Require(result == SkinFileResult::Short);
    } else if (version == kSkinVersionCurrent) {
        Require(result == SkinFileResult::Taken);
        Require(std::memcmp(&live, data, kSkinRecordSize) == 0);
    } else if (version == kSkinVersionGdiColors) {
        Require(result == SkinFileResult::Upgraded && live.version == kSkinVersionCurrent);
        // Only the colours change; they keep their red, green and blue.
        for (int k = 0; k < kGaugeKindCount; ++k) {
            uint32_t gdi = 0;
            std::memcpy(&gdi,
                        data + offsetof(SkinRecord, gauges) + k * kGaugeRecordSize +
                            offsetof(GaugeRecord, color),
                        sizeof gdi);
            const uint32_t argb = KindRecord(live, k).color;
            Require(((argb >> 16) & 0xFF) == (gdi & 0xFF) && (argb & 0xFF) == ((gdi >> 16) & 0xFF));
        }
    } else {
        Require(result == SkinFileResult::UnknownVersion);
    }
    if (!SkinFileWasTaken(result)) {
        Require(std::memcmp(&live, &before, sizeof live) == 0);
        return 0;
    }

    // The frame sizing with and without images never overflows.
    const GaugeRecord& rose = KindRecord(live, kKindVantrel);
    const SkinGeometry g = ComputeSkinGeometry(std::nullopt, std::nullopt, rose, true);
    Require(g.window.width >= g.frame.width && g.window.height >= g.frame.height);

    // Two passes of values on the new skin with a moving, receivable fix.
    const auto values = std::make_unique<GaugeValues>();
    ResetGaugeValuesAtStart(*values, live);
    GpsSnapshot fix{};
    fix.fixValid = 1;
    fix.latitude = 47.5f;
    fix.longitude = 122.25f;
    fix.speedKnots = kMaxSpeedKnots;
    fix.depthFeet = kMaxDepthFeet;
    GaugeInputs in;
    in.snapshot = &fix;
    in.shownSpeed = kMaxSpeedKnots;
    in.shownCourse = 359.0f;
    for (int pass = 0; pass < 2; ++pass) {
        SkinRecord previous = live;
        ComputeGaugeValues(*values, live, in, nullptr);
        for (int k = 0; k < kGaugeKindCount; ++k) {
            Require(KindRecord(live, k).paramA >= KindRecord(previous, k).paramA);
            Require(std::isfinite(values->value[k]) && std::isfinite(values->needleValue[k]));
        }
    }
    return 0;
}
