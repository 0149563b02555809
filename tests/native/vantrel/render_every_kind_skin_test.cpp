// The benchmarks' every-kind skin (bench/common): it shows all 59 kinds, its heading rose sizes
// the frame it was laid out for, and a composed frame draws every kind inside that frame, clear
// of the others, so a benchmark of it really draws each renderer once.
#include <gtest/gtest.h>

#include <optional>

#include "bench/common/every_kind_skin.cpp"
#include "render/compose.h"
#include "render/renderer_table.h"
#include "render/skin_drawing.h"
#include "vantrel/render_fixture.h"

namespace {

class EveryKindSkin : public RenderFixture {};

bool Apart(const RectI32& a, const RectI32& b) {
    return a.right <= b.left || b.right <= a.left || a.bottom <= b.top || b.bottom <= a.top;
}

TEST_F(EveryKindSkin, DrawsEachKindInsideItsFrameAndApartFromTheOthers) {
    using namespace every_kind;
    app->skin = EveryKindSkinRecord();
    for (int kind = 0; kind < kGaugeKindCount; ++kind)
        ASSERT_TRUE(IsKindShown(app->skin, kind)) << kind;
    const SkinGeometry g =
        ComputeSkinGeometry(std::nullopt, std::nullopt, KindRecord(app->skin, kKindVantrel), false);
    ASSERT_EQ(g.frame.width, kFrameWidth);
    ASSERT_EQ(g.frame.height, kFrameHeight);

    InstallGaugeRenderers(display->renderers);
    CreateBackBuffer(*display, g.frame);
    GpsSnapshot& gps = *nav->snapshot;
    gps.fixValid = 1;
    gps.utcTime = SystemTime16{2026, 12, 3, 30, 23, 59, 59, 0};
    gps.latitude = -47.6205f;
    gps.longitude = -122.3493f;
    for (int i = 0; i < kSatelliteSlots; ++i)
        gps.satellites[i] = {uint16_t(i + 1), uint16_t(10 + 6 * i), uint16_t(30 * i), 40};
    app->home = {-47.60f, -122.35f};
    // Wide texts and needles half way up their scales.
    for (int kind = 0; kind < kGaugeKindCount; ++kind) {
        display->values.value[kind] = -1234.56f;
        display->values.needleValue[kind] = float(KindRecord(app->skin, kind).paramA) / 2;
    }
    nav->tripDistance = 1234.56f;
    Compose(*display, *app, *nav, g.frame.width, g.frame.height, 123);

    for (int kind = 0; kind < kGaugeKindCount; ++kind) {
        // The map view's three kinds share the trail's square; "Needle Color" is never drawn.
        if (kind == kKindSatellites || kind == kKindHomeTarget || kind == kKindNeedleColor)
            continue;
        const RectI32& r = display->hitRects[kind];
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= kFrameWidth &&
                    r.bottom <= kFrameHeight && r.right > r.left && r.bottom > r.top)
            << GaugeKindName(kind) << " at " << r.left << "," << r.top << " - " << r.right << ","
            << r.bottom;
        for (int other = kind + 1; other < kGaugeKindCount; ++other) {
            if (other == kKindSatellites || other == kKindHomeTarget || other == kKindNeedleColor)
                continue;
            EXPECT_TRUE(Apart(r, display->hitRects[other]))
                << GaugeKindName(kind) << " overlaps " << GaugeKindName(other);
        }
    }
}

} // namespace
