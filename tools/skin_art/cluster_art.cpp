#include "tools/skin_art/cluster_art.h"

#include <string>

#include "tools/skin_art/cluster_layout.h"

namespace {

using namespace cluster;

// Pure black is the window's colour key, so the panel is a very dark grey, never black.
constexpr gfx::Argb kPanel = 0xFF181C22;
constexpr gfx::Argb kPanelEdge = 0xFF4C535C;
constexpr gfx::Argb kDialFace = 0xFF21262D;
constexpr gfx::Argb kDialRing = 0xFF6A717A;
constexpr gfx::Argb kTick = 0xFFB4BAC2;
constexpr gfx::Argb kLabel = 0xFF8C939C;
constexpr gfx::Argb kMarker = 0xFFFFB020;

gfx::RectF Square(float cx, float cy, float radius) {
    return {cx - radius, cy - radius, 2 * radius, 2 * radius};
}

void RoundedPanel(gfx::Graphics& g, gfx::RectF r, float corner) {
    gfx::GraphicsPath path;
    float d = 2 * corner;
    path.AddArc({r.x, r.y, d, d}, 180, 90);
    path.AddArc({r.x + r.width - d, r.y, d, d}, 270, 90);
    path.AddArc({r.x + r.width - d, r.y + r.height - d, d, d}, 0, 90);
    path.AddArc({r.x, r.y + r.height - d, d, d}, 90, 90);
    path.CloseFigure();
    gfx::SolidBrush panel(kPanel);
    g.FillPath(panel, path);
    gfx::Pen edge(kPanelEdge, 2);
    g.DrawPath(edge, path);
}

void DialFace(gfx::Graphics& g, float cx, float cy, float radius) {
    gfx::SolidBrush face(kDialFace);
    g.FillEllipse(face, Square(cx, cy, radius));
    gfx::Pen ring(kDialRing, 2);
    g.DrawEllipse(ring, Square(cx, cy, radius));
}

void Text(gfx::Graphics& g, const char* text, float x, float y, float points, gfx::Argb color,
          gfx::StringAlignment alignment) {
    gfx::FontFamily family(u"Arial");
    if (!family.Valid()) family = gfx::FontFamily::GenericSansSerif();
    gfx::Font font(family, points, gfx::FontStyle::Bold, gfx::Unit::Point);
    gfx::SolidBrush brush(color);
    gfx::StringFormat format(0, 0);
    format.SetAlignment(alignment);
    g.DrawString(gfx::AnsiToUtf16(text), font, {x, y, 0, 0}, &format, brush);
}

gfx::Bitmap NewCanvas(int width, int height, gfx::Graphics* graphics) {
    gfx::Bitmap bitmap(width, height);
    *graphics = gfx::Graphics::FromImage(bitmap);
    graphics->SetSmoothingMode(gfx::SmoothingMode::AntiAlias);
    graphics->Clear(0x00000000);
    return bitmap;
}

// The faint arc of a dial's scale from value `from` to `to` of `range`, as a band of `width`
// just inside the rim.
void ScaleBand(gfx::Graphics& g, float cx, float cy, float radius, float from, float to,
               float range, float width, gfx::Argb color) {
    float first = -kDialSweep / 2.0f;
    float start = first + kDialSweep * from / range;
    float sweep = kDialSweep * (to - from) / range;
    gfx::Pen pen(color, width);
    float inset = radius - width / 2 - 1;
    g.DrawArc(pen, Square(cx, cy, inset), start - 90, sweep);
}

void Dial(gfx::Graphics& g, float cx, float cy, const char* unit, const char* name) {
    float r = float(kDialRadius);
    gfx::SolidBrush bezel(0xFF2C323A);
    g.FillEllipse(bezel, Square(cx, cy, r + 4));
    DialFace(g, cx, cy, r);
    gfx::SolidBrush hub(0xFF3A4048);
    g.FillEllipse(hub, Square(cx, cy, 12));
    Text(g, unit, cx, cy + 30, 8, kLabel, gfx::StringAlignment::Center);
    Text(g, name, cx, cy + 58, 9, kTick, gfx::StringAlignment::Center);
}

} // namespace

gfx::Bitmap DrawClusterBackground() {
    gfx::Graphics g;
    gfx::Bitmap bitmap = NewCanvas(kFrameWidth, kFrameHeight, &g);
    RoundedPanel(g, {2, 2, kFrameWidth - 4.0f, kFrameHeight - 4.0f}, 28);

    Dial(g, kSpeedX, kDialY, "mph / km/h", "SPEED");
    Dial(g, kRpmX, kDialY, "x100 r/min", "ENGINE");
    ScaleBand(g, kRpmX, kDialY, kDialRadius, kRedline, kRpmRange, kRpmRange, 7, 0xFFB02820);

    // The map view's ground: a darker disc with range rings and a mark for the car at the centre.
    gfx::SolidBrush ground(0xFF12161B);
    g.FillEllipse(ground, Square(kMiddleX, kMapY, kMapRadius + 2.0f));
    gfx::Pen ring(0xFF2E353E, 1);
    g.DrawEllipse(ring, Square(kMiddleX, kMapY, kMapRadius / 2.0f));
    gfx::Pen rim(kDialRing, 1.5f);
    g.DrawEllipse(rim, Square(kMiddleX, kMapY, kMapRadius + 2.0f));
    gfx::SolidBrush car(kMarker);
    gfx::PointF carMark[3] = {{float(kMiddleX), kMapY - 5.0f},
                              {kMiddleX + 4.0f, kMapY + 4.0f},
                              {kMiddleX - 4.0f, kMapY + 4.0f}};
    g.FillPolygon(car, carMark, 3, gfx::FillMode::Alternate);

    // The heading tape's window: a darker strip with the fixed middle marked below it.
    gfx::SolidBrush strip(0xFF12161B);
    g.FillRectangle(strip, {kMiddleX - kTapeWidth / 2.0f - 16, kTapeY - 2.0f, kTapeWidth + 32.0f,
                            kTapeHeight + 4.0f});
    gfx::PointF pointer[3] = {{kMiddleX - 5.0f, kTapeY + kTapeHeight + 8.0f},
                              {kMiddleX + 5.0f, kTapeY + kTapeHeight + 8.0f},
                              {float(kMiddleX), kTapeY + kTapeHeight + 2.0f}};
    g.FillPolygon(car, pointer, 3, gfx::FillMode::Alternate);

    // The trend graph's frame and baseline.
    gfx::Pen frame(0xFF2E353E, 1);
    g.DrawRectangle(frame,
                    {kGraphX - 2.0f, kGraphY - 2.0f, kGraphWidth + 3.0f, kGraphHeight + 4.0f});

    for (const Label& label : kLabels)
        Text(g, label.text, float(label.x), float(label.y), 6.5f, kLabel,
             gfx::StringAlignment::Near);
    return bitmap;
}

gfx::Bitmap DrawClusterNeedle() {
    // Drawn pointing up about the image centre; the dial scales it to its diameter.
    gfx::Graphics g;
    gfx::Bitmap bitmap = NewCanvas(kNeedleWidth, kNeedleHeight, &g);
    float cx = kNeedleWidth / 2.0f;
    float cy = kNeedleHeight / 2.0f;
    gfx::PointF blade[4] = {{cx, 10}, {cx + 3.5f, cy}, {cx, cy + 22}, {cx - 3.5f, cy}};
    gfx::SolidBrush red(0xFFFF5A28);
    g.FillPolygon(red, blade, 4, gfx::FillMode::Alternate);
    gfx::SolidBrush cap(0xFF5A6068);
    g.FillEllipse(cap, Square(cx, cy, kNeedleWidth / 2.0f - 0.5f));
    gfx::SolidBrush dot(0xFF181C22);
    g.FillEllipse(dot, Square(cx, cy, 2));
    return bitmap;
}
