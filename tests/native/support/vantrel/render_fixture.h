// A GaugeDisplay on the recording backend with a 320 x 240 back buffer, fake Windows services
// and a fresh recording: the common ground of the renderer tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "render/gauge_display.h"
#include "state/app_state.h"
#include "state/nav_state.h"
#include "vantrel/gdiplus_recording.h"
#include "vantrel/render_fakes.h"

class RenderFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        rec::Reset();
        fakes::ResetServices();
        app = std::make_unique<AppState>();
        nav = std::make_unique<NavState>();
        display = std::make_unique<GaugeDisplay>(app->skin, fakes::FakeDisplayHooks());
        display->frameBitmap = gfx::Bitmap(320, 240);
        display->graphics = gfx::Graphics::FromImage(display->frameBitmap);
        display->window = reinterpret_cast<WindowHandle>(0x1234);
        rec::Current().calls.clear();
    }

    GaugeRecord& Record(int kind) { return KindRecord(app->skin, kind); }
    const rec::Recording& Recorded() { return rec::Current(); }
    // Texts drawn, in order, as UTF-8.
    std::vector<std::string> DrawnTexts() {
        std::vector<std::string> texts;
        for (const auto& call : rec::Current().Of("DrawString"))
            texts.push_back(rec::Narrow(call.text));
        return texts;
    }

    std::unique_ptr<AppState> app;
    std::unique_ptr<NavState> nav;
    std::unique_ptr<GaugeDisplay> display;
};
