// The snap slider's arithmetic and its reaction to the mouse, on the configuration dialog's
// control: a 64 × 64 pad, a 14-pixel knob, outputs of at most ±2.
#include <gtest/gtest.h>

#include "config/snap_slider.h"

namespace {

SnapSliderState CentredSlider() {
    SnapSliderState slider;
    CentreKnob(slider);
    return slider;
}

TEST(SnapSlider, OutputsByDeflectionOnBothAxesAndBothSides) {
    struct Case {
        int32_t deflection;
        int16_t out; // for a knob left of or above the centre
    };
    // Full deflection is 23 pixels: (64 - 4) / 2 - 7.
    for (Case c : {Case{0, 0}, Case{11, 0}, Case{12, 1}, Case{22, 1}, Case{23, 2}}) {
        SnapSliderState slider = CentredSlider();
        slider.knobX = 32 - c.deflection;
        slider.knobY = 32 + c.deflection;
        UpdateOutputs(slider);
        EXPECT_EQ(slider.outX, c.out) << c.deflection;
        EXPECT_EQ(slider.outY, -c.out) << c.deflection;
    }
}

TEST(SnapSlider, TheKnobStaysInsideThePadAndItsFarEdgesCountAsOnIt) {
    struct Place {
        int32_t x, y, knobX, knobY;
    };
    for (Place p : {Place{0, 0, 9, 9}, Place{65535, 65535, 55, 55}, Place{32, 8, 32, 9},
                    Place{56, 40, 55, 40}}) {
        SnapSliderState slider;
        PlaceKnob(slider, p.x, p.y);
        EXPECT_EQ(slider.knobX, p.knobX) << p.x;
        EXPECT_EQ(slider.knobY, p.knobY) << p.y;
    }
    // The centred knob covers 25 to 39 on both axes, both ends included.
    const SnapSliderState slider = CentredSlider();
    struct Hit {
        int32_t x, y;
        bool on;
    };
    for (Hit h : {Hit{25, 25, true}, Hit{39, 39, true}, Hit{24, 32, false}, Hit{40, 32, false},
                  Hit{32, 24, false}, Hit{32, 40, false}}) {
        EXPECT_EQ(IsOnKnob(slider, h.x, h.y), h.on) << h.x << "," << h.y;
    }
}

TEST(SnapSlider, AxisWithoutRangeKeepsItsLastOutput) {
    SnapSliderState slider;
    slider.width = 18; // (18 - 4) / 2 - 7 = 0
    slider.knobX = 5;
    slider.knobY = 9;
    slider.outX = 2;
    UpdateOutputs(slider);
    EXPECT_EQ(slider.outX, 2);
    EXPECT_EQ(slider.outY, 2); // the other axis still reports
}

TEST(SnapSlider, ACentreClickTracksWithoutMovingAndADragReportsUntilTheRelease) {
    SnapSliderState slider = CentredSlider();
    SliderResponse r = PressSlider(slider, 32, 32);
    EXPECT_TRUE(slider.tracking);
    EXPECT_FALSE(r.repaint || r.report || r.restartTimer);
    r = SliderTimerTick(slider);
    EXPECT_TRUE(r.report);
    EXPECT_EQ(ReportParam(slider), 0u);

    r = MoveOverSlider(slider, 64, 32); // fully right
    EXPECT_TRUE(r.repaint && r.report);
    EXPECT_FALSE(r.restartTimer);
    EXPECT_EQ(slider.outX, -2);
    SliderTimerTick(slider);
    EXPECT_EQ(slider.outX, -2);    // on every report while held there
    MoveOverSlider(slider, 32, 0); // fully up
    EXPECT_EQ(slider.outX, 0);
    EXPECT_EQ(slider.outY, 2);
    EXPECT_EQ(ReportParam(slider), 0x00020000u);

    r = ReleaseSlider(slider);
    EXPECT_TRUE(r.repaint && r.report);
    EXPECT_FALSE(slider.tracking);
    EXPECT_EQ(slider.knobX, 32);
    EXPECT_EQ(slider.knobY, 32);
    EXPECT_EQ(ReportParam(slider), 0u); // the very next report is (0, 0)
    r = MoveOverSlider(slider, 0, 0);   // not tracking: the knob stays
    EXPECT_FALSE(r.repaint || r.report);
    EXPECT_EQ(slider.knobX, 32);
}

TEST(SnapSlider, APressOffTheKnobJumpsThereAndRestartsThePeriod) {
    SnapSliderState slider = CentredSlider();
    const SliderResponse r = PressSlider(slider, 0, 0);
    EXPECT_TRUE(r.repaint && r.report && r.restartTimer);
    EXPECT_TRUE(slider.tracking);
    EXPECT_EQ(slider.knobX, 9);
    EXPECT_EQ(slider.knobY, 9);
    EXPECT_EQ(slider.outX, 2);
    EXPECT_EQ(slider.outY, 2);
    MoveOverSlider(slider, 64, 64);
    EXPECT_EQ(ReportParam(slider), 0xFFFEFFFEu); // -2, -2 as two 16-bit words
}

} // namespace
