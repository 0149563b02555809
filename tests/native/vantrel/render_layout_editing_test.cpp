// Layout editing: picking, dragging, dropping and outlining at the frame's end, and the
// configuration dialog's slider reports, with the Windows services faked.
#include <gtest/gtest.h>

#include "render/compose.h"
#include "render/layout_editing.h"
#include "vantrel/render_fixture.h"

namespace {

// The editor reads the program's AppState: the window is at (100, 50) of the screen, the
// dialog is open and the cluster is the active window.
class LayoutEditing : public RenderFixture {
  protected:
    void SetUp() override {
        RenderFixture::SetUp();
        App() = AppState{};
        App().configDialog = reinterpret_cast<WindowHandle>(0x42);
        App().windowRect = {100, 50, 420, 290};
        App().frameWidth = 320;
        App().frameHeight = 240;
        fakes::Services().activeWindow = display->window;
        display->renderers.editStep = EditStep;
    }
    void TearDown() override { App() = AppState{}; }

    // The pointer at a point of the window.
    void PointAt(int32_t x, int32_t y) { fakes::Services().cursor = {100 + x, 50 + y}; }
    GaugeRecord& Gauge(int kind) { return KindRecord(App().skin, kind); }
    size_t FocusRects() { return fakes::Services().focusRects.size(); }
};

TEST_F(LayoutEditing, PicksTheLowestKindUnderThePointer) {
    struct Case {
        int32_t x, y;
        int32_t picked;
    };
    display->hitRects[kKindHorizVantrel] = {-10, 0, 5, 60};
    display->hitRects[kKindKnots] = {10, 10, 50, 30};
    display->hitRects[kKindLatitude] = {0, 0, 40, 40};
    for (Case c :
         {Case{20, 20, kKindKnots}, Case{10, 10, kKindKnots}, Case{5, 5, kKindLatitude},
          Case{2, 5, kKindHorizVantrel}, Case{-2, 5, -1}, Case{40, 35, -1}, Case{45, 30, -1}}) {
        display->edit.pickedKind = -1;
        PointAt(c.x, c.y);
        FinishFrame(*display, false);
        EXPECT_EQ(display->edit.pickedKind, c.picked) << c.x << "," << c.y;
    }
    // A pick the dialog has not taken over yet stays; nothing is picked during a drag.
    display->edit.pickedKind = kKindLatitude;
    PointAt(20, 20);
    FinishFrame(*display, false);
    EXPECT_EQ(display->edit.pickedKind, kKindLatitude);
    display->edit.pickedKind = -1;
    display->edit.dragging = true;
    FinishFrame(*display, false);
    EXPECT_EQ(display->edit.pickedKind, -1);
}

TEST_F(LayoutEditing, AnOutlineLastsTenFramesAndBlinksOnTheWindow) {
    display->hitRects[kKindClock] = {60, 60, 100, 100};
    ChooseInList(*display, kKindClock);
    EXPECT_EQ(display->edit.pickedKind, kKindClock);
    for (int frame = 1; frame <= kHighlightFrames; ++frame) {
        EXPECT_EQ(display->edit.selectedKind, kKindClock) << frame;
        FinishFrame(*display, false);
    }
    EXPECT_EQ(display->edit.selectedKind, -1);
    ASSERT_EQ(FocusRects(), size_t(kHighlightFrames)); // the last one as the selection ends
    EXPECT_EQ(fakes::Services().focusRects[0].left, 60);
    EXPECT_EQ(fakes::Services().focusRects[0].bottom, 100);
    FinishFrame(*display, false);
    EXPECT_EQ(FocusRects(), size_t(kHighlightFrames));
    EXPECT_TRUE(Recorded().Drawing().empty()); // nothing went into the back buffer
}

TEST_F(LayoutEditing, ADragMovesWithoutLimitsAndTheReleaseDropsTheSelection) {
    display->hitRects[kKindTime] = {40, 20, 90, 35};
    Gauge(kKindTime).x = 40;
    Gauge(kKindTime).y = 20;
    Highlight(*display, kKindTime);
    FinishFrame(*display, false); // 9 outline frames left
    BeginDrag(*display, App().skin, 50, 25);
    EXPECT_EQ(display->edit.dragAnchorX, 10);
    EXPECT_EQ(display->edit.dragAnchorY, 5);
    for (int frame = 0; frame < 20; ++frame) { // the outline stands still while dragging
        PointAt(-20 + frame, 30);
        FinishFrame(*display, false);
    }
    EXPECT_EQ(Gauge(kKindTime).x, 65506 + 19); // p.x - anchor = -30 + 19 wraps in 16 bits
    EXPECT_EQ(Gauge(kKindTime).y, 25);
    PointAt(-20, 30);
    FinishFrame(*display, false);
    EXPECT_EQ(Gauge(kKindTime).x, 65506);
    EXPECT_EQ(display->edit.highlightTicks, 9);

    EndDrag(*display);
    const size_t drawn = FocusRects();
    FinishFrame(*display, false);
    EXPECT_EQ(display->edit.selectedKind, -1);
    EXPECT_EQ(display->edit.dragAnchorX, -1);
    EXPECT_EQ(FocusRects(), drawn + 1); // drawn once more as it drops
    EXPECT_EQ(Gauge(kKindTime).x, 65506);

    // With nothing selected a press starts no drag.
    BeginDrag(*display, App().skin, 50, 25);
    EXPECT_FALSE(display->edit.dragging);
}

TEST_F(LayoutEditing, NothingHappensUnlessTheDialogIsOpenAndTheClusterActive) {
    struct Case {
        bool dialogOpen, active;
    };
    for (Case c : {Case{false, true}, Case{true, false}}) {
        SetUp();
        display->hitRects[kKindTime] = {40, 20, 90, 35};
        Gauge(kKindTime).x = 40;
        Highlight(*display, kKindTime);
        if (!c.dialogOpen) App().configDialog = nullptr;
        if (!c.active) fakes::Services().activeWindow = nullptr;
        PointAt(60, 30); // over the gauge
        FinishFrame(*display, false);
        EXPECT_EQ(display->edit.pickedKind, -1);
        EXPECT_EQ(display->edit.highlightTicks, kHighlightFrames);
        BeginDrag(*display, App().skin, 40, 20);
        FinishFrame(*display, false);
        EXPECT_EQ(Gauge(kKindTime).x, 40);
        EXPECT_EQ(FocusRects(), 0u);
        // Back again, the drag resumes where the pointer is.
        App().configDialog = reinterpret_cast<WindowHandle>(0x42);
        fakes::Services().activeWindow = display->window;
        FinishFrame(*display, false);
        EXPECT_EQ(Gauge(kKindTime).x, 60);
        EXPECT_EQ(FocusRects(), 1u);
    }
}

TEST_F(LayoutEditing, NudgesStopAtTheFrameLimits) {
    struct Case {
        int32_t frameWidth;
        uint16_t x, y;
        int16_t outX, outY; // the slider's outputs: positive towards its top left
        uint16_t nudgedX, nudgedY;
    };
    for (Case c : {Case{320, 299, 100, -2, 0, 300, 100}, Case{320, 300, 100, -1, 0, 300, 100},
                   Case{320, 1, 100, 2, 0, 0, 100}, Case{320, 50, 229, 0, -2, 50, 230},
                   Case{320, 50, 1, 0, 2, 50, 0}, Case{320, 50, 100, 1, -1, 49, 101},
                   Case{12, 5, 100, -2, 0, 0, 100}}) { // a frame narrower than the margin
        App().frameWidth = c.frameWidth;
        App().dialogKind = kKindKnots;
        Gauge(kKindKnots).x = c.x;
        Gauge(kKindKnots).y = c.y;
        display->fullRepaint = true;
        fakes::ResetServices();
        const SliderOutcome outcome = SliderReport(*display, App(), c.outX, c.outY);
        EXPECT_EQ(Gauge(kKindKnots).x, c.nudgedX) << c.x << "," << c.outX;
        EXPECT_EQ(Gauge(kKindKnots).y, c.nudgedY) << c.y << "," << c.outY;
        EXPECT_TRUE(outcome.showPosition);
        EXPECT_EQ(outcome.x, c.nudgedX);
        EXPECT_EQ(outcome.y, c.nudgedY);
        EXPECT_EQ(display->edit.selectedKind, kKindKnots);
        EXPECT_EQ(display->edit.highlightTicks, kHighlightFrames);
        EXPECT_FALSE(display->fullRepaint);
        EXPECT_EQ(fakes::Services().wholeWindowInvalidations, 1);
    }
    // A report of (0, 0) moves nothing and asks for no fields, but still repaints.
    fakes::ResetServices();
    const SliderOutcome idle = SliderReport(*display, App(), 0, 0);
    EXPECT_FALSE(idle.showPosition);
    EXPECT_EQ(fakes::Services().wholeWindowInvalidations, 1);
}

TEST_F(LayoutEditing, TheThreeKindsOfTheCircularViewMoveAsOne) {
    struct Case {
        int32_t kind;
        bool viewMoves;
    };
    for (Case c : {Case{kKindTrails, true}, Case{kKindHomeTarget, true}, Case{kKindClock, false}}) {
        for (int kind : {kKindSatellites, kKindClock, kKindHomeTarget, kKindTrails})
            Gauge(kind).x = uint16_t(10 * kind);
        App().dialogKind = c.kind;
        SliderReport(*display, App(), -1, 0);
        const uint16_t moved = uint16_t(10 * c.kind + 1);
        EXPECT_EQ(Gauge(c.kind).x, moved);
        for (int kind : {kKindSatellites, kKindHomeTarget, kKindTrails}) {
            if (kind != c.kind) {
                EXPECT_EQ(Gauge(kind).x == moved, c.viewMoves) << kind;
            }
        }
    }
    // A drag of the view, which is hit as "Trails", takes the other two along as well.
    display->hitRects[kKindTrails] = {60, 60, 140, 140};
    Highlight(*display, kKindTrails);
    BeginDrag(*display, App().skin, Gauge(kKindTrails).x, Gauge(kKindTrails).y);
    PointAt(130, 90);
    FinishFrame(*display, false);
    for (int kind : {kKindSatellites, kKindHomeTarget, kKindTrails}) {
        EXPECT_EQ(Gauge(kind).x, 130) << kind;
        EXPECT_EQ(Gauge(kind).y, 90) << kind;
    }
}

TEST_F(LayoutEditing, AReportTakesOverAKindPickedOnTheCluster) {
    struct Case {
        int32_t picked;
        int32_t takeOver, dialogKind, selected;
    };
    // The dialog edits "Knots"; the cluster's selection is "Time" before the report.
    for (Case c : {Case{-1, -1, kKindKnots, kKindTime}, Case{kKindKnots, -1, kKindKnots, kKindTime},
                   Case{kKindClock, kKindClock, kKindClock, kKindClock}}) {
        App().dialogKind = kKindKnots;
        display->edit.selectedKind = kKindTime;
        display->edit.highlightTicks = 3;
        display->edit.pickedKind = c.picked;
        const SliderOutcome outcome = SliderReport(*display, App(), 0, 0);
        EXPECT_EQ(outcome.takeOverKind, c.takeOver) << c.picked;
        EXPECT_EQ(App().dialogKind, c.dialogKind) << c.picked;
        EXPECT_EQ(display->edit.selectedKind, c.selected) << c.picked;
        EXPECT_EQ(display->edit.pickedKind, -1);
        EXPECT_EQ(display->edit.highlightTicks, c.picked >= 0 ? kHighlightFrames : 3);
    }
    // During a mouse drag the fields follow the gauge.
    Gauge(kKindClock).x = 77;
    Gauge(kKindClock).y = 66;
    display->edit.dragging = true;
    const SliderOutcome dragged = SliderReport(*display, App(), 0, 0);
    EXPECT_TRUE(dragged.showPosition);
    EXPECT_EQ(dragged.x, 77);
    EXPECT_EQ(dragged.y, 66);
}

} // namespace
