// The frame's cheaper ways of drawing put down the pixels of the plain ones on real GDI+: runs
// of lines in one call, the trail cut to what reaches its circle, a text well inside the circle
// drawn without the round clip, and the window painted from a GDI copy of only what changed.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <memory>
#include <vector>

#include "render/compose.h"
#include "render/display_hooks_win.h"
#include "render/gdiplus.h"
#include "render/heading_tape.h"
#include "render/primitives.h"
#include "render/map_geometry.h"
#include "render/paint_win.h"
#include "render/skin_drawing.h"
#include "rig/rig.h"

namespace {

constexpr int kSize = 160;
constexpr gfx::Argb kBlack = 0xFF000000;

// One bitmap drawn the plain way and one the cheap way, anti-aliased as the frame is.
struct Pair {
    gfx::Bitmap plainBitmap{kSize, kSize};
    gfx::Bitmap cheapBitmap{kSize, kSize};
    gfx::Graphics plain = gfx::Graphics::FromImage(plainBitmap);
    gfx::Graphics cheap = gfx::Graphics::FromImage(cheapBitmap);
    Pair() {
        for (gfx::Graphics* g : {&plain, &cheap}) {
            g->SetSmoothingMode(gfx::SmoothingMode::AntiAlias);
            g->Clear(kBlack);
        }
    }
    // The pixels that differ, with the first of them for the message.
    int Differences(int* firstX, int* firstY) const {
        int count = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                gfx::Argb a = 0, b = 0;
                plainBitmap.GetPixel(x, y, &a);
                cheapBitmap.GetPixel(x, y, &b);
                if (a == b) continue;
                if (count++ == 0) *firstX = x, *firstY = y;
            }
        return count;
    }
};

// A circle's clip as the map view makes it.
gfx::Region Circle(float cx, float cy, float r) {
    gfx::GraphicsPath path;
    path.AddEllipse({cx - r, cy - r, 2 * r, 2 * r});
    return gfx::Region(path);
}

void ExpectSame(const Pair& pair, const char* what) {
    int x = -1, y = -1;
    EXPECT_EQ(pair.Differences(&x, &y), 0) << what << ", first at " << x << "," << y;
}

TEST(BatchedPixels, RunsOfLinesInOneCallMatchACallForEachRun) {
    // A trail that winds through a circular clip and crosses itself, with pens of the trail
    // (1 pixel) and of the tape's ticks (2 pixels, two-point runs).
    std::vector<gfx::PointF> points;
    std::vector<int32_t> counts;
    for (int run = 0; run < 12; ++run) {
        const int n = 2 + run % 5;
        for (int i = 0; i < n; ++i) {
            const double t = run * 0.9 + i * 0.45;
            points.push_back({float(80 + 70 * std::cos(t) * std::sin(run + 0.3 * i)),
                              float(80 + 65 * std::sin(1.7 * t))});
        }
        counts.push_back(n);
    }
    std::vector<gfx::PointF> ticks;
    std::vector<int32_t> twos;
    for (int i = 0; i < 26; ++i) {
        ticks.push_back({float(3 + 6 * i), float(i % 5 == 0 ? 100 : 120)});
        ticks.push_back({float(3 + 6 * i), 140.0f});
        twos.push_back(2);
    }
    // A bar graph's bars, a pixel apart, in a translucent colour too.
    std::vector<gfx::PointF> bars;
    std::vector<int32_t> barTwos;
    for (int i = 0; i < 120; ++i) {
        bars.push_back({float(150 - i), 150.0f});
        bars.push_back({float(150 - i), float(150 - (i * 37) % 90 - 1)});
        barTwos.push_back(2);
    }
    struct Case {
        const char* what;
        const std::vector<gfx::PointF>* points;
        const std::vector<int32_t>* counts;
        float width;
        bool round;
        gfx::Argb color;
    };
    for (const Case& c :
         {Case{"trail in its circle", &points, &counts, 1.0f, true, 0xFF20A0E0},
          Case{"trail unclipped", &points, &counts, 1.0f, false, 0xFF20A0E0},
          Case{"tape ticks", &ticks, &twos, 2.0f, false, 0xFFFFB000},
          Case{"graph bars", &bars, &barTwos, 1.0f, false, 0xFF00FF00},
          Case{"translucent graph bars", &bars, &barTwos, 1.0f, false, 0x8000FF00}}) {
        Pair pair;
        gfx::Pen pen(c.color, c.width);
        gfx::Region clip = Circle(80, 80, 60);
        if (c.round) {
            pair.plain.SetClip(clip, gfx::CombineMode::Replace);
            pair.cheap.SetClip(clip, gfx::CombineMode::Replace);
        }
        const gfx::PointF* run = c.points->data();
        for (int32_t count : *c.counts) {
            pair.plain.DrawLines(pen, run, count);
            run += count;
        }
        EXPECT_EQ(pair.cheap.DrawLineRuns(pen, c.points->data(), c.counts->data(),
                                          int32_t(c.counts->size())),
                  gfx::Status::Ok);
        ExpectSame(pair, c.what);
    }
}

TEST(BatchedPixels, ATrailCutToWhatReachesItsCircleLooksTheSameInside) {
    // A zig-zag over an area ten times the circle's, sharp turns (long mitres) included.
    std::vector<gfx::PointF> trail;
    for (int i = 0; i < 400; ++i)
        trail.push_back({float(80 + 700 * std::sin(i * 0.37) * std::cos(i * 0.011)),
                         float(80 + 650 * std::cos(i * 0.53 + 0.2))});
    Pair pair;
    gfx::Region clip = Circle(80, 80, 60);
    pair.plain.SetClip(clip, gfx::CombineMode::Replace);
    pair.cheap.SetClip(clip, gfx::CombineMode::Replace);
    gfx::Pen pen(0xFFE0A020, 1.0f);
    pair.plain.DrawLines(pen, trail.data(), int32_t(trail.size()));
    // Cut as the map view cuts: 16 pixels beyond the radius.
    std::vector<gfx::PointF> kept;
    std::vector<int32_t> counts;
    int32_t open = 0;
    auto end = [&] {
        if (open >= 2)
            counts.push_back(open);
        else
            kept.resize(kept.size() - size_t(open));
        open = 0;
    };
    for (size_t i = 1; i < trail.size(); ++i) {
        if (!SegmentReachesCircle(trail[i - 1], trail[i], 80, 80, 60 + 16)) {
            end();
            continue;
        }
        if (open == 0) kept.push_back(trail[i - 1]), ++open;
        kept.push_back(trail[i]);
        ++open;
    }
    end();
    ASSERT_GT(counts.size(), 3u);
    ASSERT_LT(kept.size(), trail.size() / 2);
    pair.cheap.DrawLineRuns(pen, kept.data(), counts.data(), int32_t(counts.size()));
    ExpectSame(pair, "cut trail");
}

TEST(BatchedPixels, ATextWellInsideTheCircleIsTheSameWithoutTheRoundClip) {
    gfx::FontFamily family(u"Arial");
    gfx::Font font(family, 10, gfx::FontStyle::Regular, gfx::Unit::Point);
    gfx::SolidBrush brush(0xFF40C080);
    // Numbers placed as the view places satellites: well inside (the em and a half of margin
    // the view asks for), and one reaching past the rim, where the clip does cut.
    struct Place {
        float dx, dy;
        bool inside;
    };
    for (const Place& place :
         {Place{0, 0, true}, Place{20, -20, true}, Place{40, 0, true}, Place{35, -35, false}}) {
        Pair pair;
        gfx::Region clip = Circle(80, 80, 60);
        pair.plain.SetClip(clip, gfx::CombineMode::Replace);
        gfx::RectF box;
        pair.plain.MeasureString(u"23", font, {0, 0, 0, 0}, nullptr, &box);
        const gfx::RectF layout{80 + place.dx - box.width / 2, 80 + place.dy - box.height, 0, 0};
        pair.plain.DrawString(u"23", font, layout, nullptr, brush);
        pair.cheap.DrawString(u"23", font, layout, nullptr, brush);
        int x = -1, y = -1;
        if (place.inside)
            ExpectSame(pair, "satellite number inside");
        else
            EXPECT_GT(pair.Differences(&x, &y), 0) << "the clip cuts a number at the rim";
    }
}

// The tape drawn tick by tick, each label right after its own tick, as plain calls do it.
void DrawTapePlainly(GaugeDisplay& display, const GaugeRecord& tape, int32_t heading) {
    const float em = float(tape.paramB) * 0.4f;
    const gfx::Font& font = KindScaleFont(display, kKindHorizVantrel, tape, em);
    gfx::SolidBrush brush(tape.color);
    gfx::Pen pen(tape.color, 2.0f);
    const float bottom = float(tape.y + tape.paramB);
    int32_t n = FirstTapeDegree(heading, tape.paramA);
    for (int32_t px = tape.x; px < tape.x + tape.paramA; px += 2, ++n) {
        if (n >= 360) n -= 360;
        if (n % 3 != 0) continue;
        const bool major = n % 15 == 0;
        const float top = float(tape.y + tape.paramB - tape.paramB / (major ? 2 : 4));
        display.graphics.DrawLine(pen, {float(px), top}, {float(px), bottom});
        if (!major) continue;
        char text[8];
        TapeLabel(n, text, sizeof text);
        const std::u16string wide = gfx::AnsiToUtf16(text);
        gfx::RectF box;
        display.graphics.MeasureString(wide, font, {0, 0, 6 * em, 2 * em}, nullptr, &box);
        display.graphics.DrawString(wide, font, {float(px) - box.width / 2, float(tape.y), 0, 0},
                                    nullptr, brush);
    }
}

TEST(BatchedPixels, TheTapeMatchesATickByTickDrawingWithLabelsClearOrReaching) {
    // Small labels keep clear of the ticks; tall ones reach the next major tick.
    for (uint16_t height : {40, 100}) {
        std::unique_ptr<GaugeDisplay> ways[2];
        AppState app;
        GaugeRecord& tape = KindRecord(app.skin, kKindHorizVantrel);
        tape.x = 5;
        tape.y = 10;
        tape.paramA = 150;
        tape.paramB = height;
        tape.color = 0xFFFFB000;
        lstrcpyA(tape.fontName, "Arial");
        for (auto& way : ways) {
            way = std::make_unique<GaugeDisplay>(app.skin, WindowsDisplayHooks());
            CreateBackBuffer(*way, PixelSize{kSize, kSize});
            way->graphics.Clear(kBlack);
        }
        DrawTapePlainly(*ways[0], tape, 7);
        DrawHeadingTape(*ways[1], app.skin, 7);
        int differ = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                gfx::Argb a = 0, b = 0;
                ways[0]->frameBitmap.GetPixel(x, y, &a);
                ways[1]->frameBitmap.GetPixel(x, y, &b);
                differ += a != b;
            }
        EXPECT_EQ(differ, 0) << "tape " << height << " high";
    }
}

GaugeDisplay* g_display = nullptr;
PaintArea g_area;

LRESULT CALLBACK PaintProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT && g_display) {
        PaintBackBuffer(window, *g_display, g_area);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// What the GDI+ paint of the whole frame puts on a device of the frame's size.
rig::Pixels PaintedByGdiplus(const GaugeDisplay& display, const PaintArea& area) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = area.frameWidth;
    info.bmiHeader.biHeight = -area.frameHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    PaintFrame(dc, display, area);
    GdiFlush();
    rig::Pixels pixels;
    pixels.width = area.frameWidth;
    pixels.height = area.frameHeight;
    const auto* rows = static_cast<const uint32_t*>(bits);
    pixels.argb.assign(rows, rows + area.frameWidth * area.frameHeight);
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
}

int DifferentPixels(const rig::Pixels& a, const rig::Pixels& b) {
    int count = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if ((a.At(x, y) & 0xFFFFFF) != (b.At(x, y) & 0xFFFFFF)) ++count;
    return count;
}

TEST(BatchedPixels, TheWindowShowsTheFrameAndOnlyWhatWasInvalidatedIsCopiedAgain) {
    auto app = std::make_unique<AppState>();
    auto display = std::make_unique<GaugeDisplay>(app->skin, WindowsDisplayHooks());
    CreateBackBuffer(*display, PixelSize{kSize, kSize});
    // Colours everywhere and no black, which the window's colour key would let through.
    for (int band = 0; band < kSize; band += 8) {
        gfx::SolidBrush brush(0xFF000000u | uint32_t(band * 0x010203 + 0x203040));
        display->graphics.FillRectangle(brush, {0, float(band), float(kSize), 8});
    }
    gfx::Pen pen(0xFFFFFFFF, 3);
    display->graphics.DrawEllipse(pen, {20, 30, 110, 90});
    g_display = display.get();
    g_area = PaintArea{kSize, kSize, false, 6};

    WNDCLASSA type{};
    type.lpfnWndProc = PaintProc;
    type.hInstance = GetModuleHandleA(nullptr);
    type.lpszClassName = "BatchedPaintTest";
    RegisterClassA(&type);
    HWND window = CreateWindowExA(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
                                  "BatchedPaintTest", "", WS_POPUP, 220, 160, kSize, kSize, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(window != nullptr);
    SetLayeredWindowAttributes(window, RGB(0, 0, 0), 255, LWA_COLORKEY);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    rig::WaitUntil([] { return false; }, 300);
    const rig::Pixels first = rig::CaptureWindow(window);
    ASSERT_EQ(first.width, kSize);
    EXPECT_EQ(DifferentPixels(first, PaintedByGdiplus(*display, g_area)), 0);

    // A change over the whole frame with only a corner invalidated: the window shows the new
    // pixels there and keeps the old ones elsewhere.
    gfx::SolidBrush white(0xFFFFFFFF);
    display->graphics.FillRectangle(white, {0, 0, float(kSize), float(kSize)});
    RECT corner{10, 10, 50, 40};
    InvalidateRect(window, &corner, FALSE);
    UpdateWindow(window);
    rig::WaitUntil([] { return false; }, 300);
    const rig::Pixels second = rig::CaptureWindow(window);
    EXPECT_EQ(second.CountNear(0xFFFFFF, 0, 10, 10, 50, 40), 40 * 30);
    int kept = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            if ((x < 10 || x >= 50 || y < 10 || y >= 40) && second.At(x, y) == first.At(x, y))
                ++kept;
    EXPECT_EQ(kept, kSize * kSize - 40 * 30);

    // Two rectangles apart: each shows the new frame, and what lies between them stays.
    gfx::SolidBrush red(0xFFFF0000);
    display->graphics.FillRectangle(red, {0, 0, float(kSize), float(kSize)});
    const RECT apart[] = {{60, 60, 80, 90}, {100, 20, 130, 50}};
    for (const RECT& r : apart)
        InvalidateRect(window, &r, FALSE);
    UpdateWindow(window);
    rig::WaitUntil([] { return false; }, 300);
    const rig::Pixels third = rig::CaptureWindow(window);
    int changed = 0, inApart = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            bool inside = false;
            for (const RECT& r : apart)
                inside = inside || (x >= r.left && x < r.right && y >= r.top && y < r.bottom);
            if (inside)
                inApart += (third.At(x, y) & 0xFFFFFFu) == 0xFF0000u ? 1 : 0;
            else
                changed += third.At(x, y) != second.At(x, y) ? 1 : 0;
        }
    EXPECT_EQ(inApart, 20 * 30 + 30 * 30);
    EXPECT_EQ(changed, 0);
    DestroyWindow(window);
    g_display = nullptr;
}

} // namespace
