#include "tools/skin_art/cluster_art.h"

#include <cmath>
#include <string>

#include "tools/skin_art/cluster_layout.h"

namespace {

using namespace cluster;

constexpr double kPi = 3.14159265358979323846;
// Pure black is the window's colour key, so the panel is a very dark grey, never black.
constexpr gfx::Argb kPanel = 0xFF181C22;
constexpr gfx::Argb kPanelEdge = 0xFF4C535C;
constexpr gfx::Argb kDialFace = 0xFF21262D;
constexpr gfx::Argb kDialRing = 0xFF6A717A;
constexpr gfx::Argb kTick = 0xFFB4BAC2;
constexpr gfx::Argb kLabel = 0xFF8C939C;
constexpr gfx::Argb kMarker = 0xFFFFB020;

gfx::PointF OnCircle(float cx, float cy, float radius, double degreesFromUp) {
    double t = degreesFromUp * kPi / 180;
    return {cx + float(radius * std::sin(t)), cy - float(radius * std::cos(t))};
}

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

// Ticks every `step` degrees, longer and heavier every `major` degrees.
void Ticks(gfx::Graphics& g, float cx, float cy, float radius, int step, int major) {
    gfx::Pen minor(kTick, 1);
    gfx::Pen heavy(kTick, 3);
    for (int angle = 0; angle < 360; angle += step) {
        bool isMajor = angle % major == 0;
        float inner = radius - (isMajor ? 12.0f : 5.0f);
        g.DrawLine(isMajor ? heavy : minor, OnCircle(cx, cy, inner, angle),
                   OnCircle(cx, cy, radius - 2, angle));
    }
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

// A hand pointing up from the centre of a width × height image: a tapered blade from the tip
// to a short tail behind the pivot.
gfx::Bitmap Hand(int width, int height, float tipY, float tailY, gfx::Argb color) {
    gfx::Graphics g;
    gfx::Bitmap bitmap = NewCanvas(width, height, &g);
    float cx = width / 2.0f;
    float cy = height / 2.0f;
    gfx::PointF blade[4] = {{cx, tipY}, {float(width) - 1, cy}, {cx, tailY}, {1, cy}};
    gfx::SolidBrush brush(color);
    g.FillPolygon(brush, blade, 4, gfx::FillMode::Alternate);
    g.FillEllipse(brush, Square(cx, cy, width / 2.0f));
    return bitmap;
}

} // namespace

gfx::Bitmap DrawClusterBackground() {
    gfx::Graphics g;
    gfx::Bitmap bitmap = NewCanvas(kFrameWidth, kFrameHeight, &g);
    RoundedPanel(g, {2, 2, kFrameWidth - 4.0f, kFrameHeight - 4.0f}, 20);

    // Heading rose: ticks every 10 degrees, heavier every 30, and the direction of travel marked
    // at the top, since the needle turns and the dial does not.
    DialFace(g, kRoseX, kRoseY, kRoseRadius);
    Ticks(g, kRoseX, kRoseY, kRoseRadius, 10, 30);
    gfx::SolidBrush marker(kMarker);
    gfx::PointF top[3] = {{kRoseX - 6.0f, kRoseY - kRoseRadius - 1.0f},
                          {kRoseX + 6.0f, kRoseY - kRoseRadius - 1.0f},
                          {float(kRoseX), kRoseY - kRoseRadius + 10.0f}};
    g.FillPolygon(marker, top, 3, gfx::FillMode::Alternate);

    // Clock face: minute ticks, heavier hours, and the four quarter numbers.
    DialFace(g, kClockX, kClockY, kClockRadius);
    Ticks(g, kClockX, kClockY, kClockRadius, 6, 30);
    const char* quarters[4] = {"12", "3", "6", "9"};
    for (int i = 0; i < 4; ++i) {
        gfx::PointF p = OnCircle(kClockX, kClockY, kClockRadius - 22.0f, i * 90.0);
        Text(g, quarters[i], p.x, p.y - 7, 8, kTick, gfx::StringAlignment::Center);
    }

    for (const Label& label : kLabels)
        Text(g, label.text, float(label.x), float(label.y), 6.5f, kLabel,
             gfx::StringAlignment::Near);
    return bitmap;
}

gfx::Bitmap DrawClusterArrow() {
    constexpr int kSize = 120;
    constexpr float kC = kSize / 2.0f;
    gfx::Graphics g;
    gfx::Bitmap bitmap = NewCanvas(kSize, kSize, &g);
    gfx::SolidBrush north(0xFFE04030);
    gfx::SolidBrush south(0xFFD8DCE2);
    gfx::PointF northHalf[3] = {{kC, 14}, {kC + 9, kC}, {kC - 9, kC}};
    gfx::PointF southHalf[3] = {{kC, kSize - 14.0f}, {kC - 9, kC}, {kC + 9, kC}};
    g.FillPolygon(north, northHalf, 3, gfx::FillMode::Alternate);
    g.FillPolygon(south, southHalf, 3, gfx::FillMode::Alternate);
    gfx::SolidBrush hub(0xFF5A6068);
    g.FillEllipse(hub, Square(kC, kC, 6));
    Text(g, "N", kC, 0, 7, 0xFFE04030, gfx::StringAlignment::Center);
    return bitmap;
}

gfx::Bitmap DrawClusterHourHand() {
    return Hand(12, 76, 6, 46, 0xFFE6EAF0);
}

gfx::Bitmap DrawClusterMinuteHand() {
    return Hand(10, 104, 4, 62, 0xFFE6EAF0);
}

gfx::Bitmap DrawClusterSecondHand() {
    constexpr int kWidth = 8;
    constexpr int kHeight = 112;
    gfx::Graphics g;
    gfx::Bitmap bitmap = NewCanvas(kWidth, kHeight, &g);
    gfx::Pen pen(0xFFFFB020, 2);
    g.DrawLine(pen, {kWidth / 2.0f, 6}, {kWidth / 2.0f, kHeight / 2.0f + 14});
    gfx::SolidBrush hub(0xFFFFB020);
    g.FillEllipse(hub, Square(kWidth / 2.0f, kHeight / 2.0f, 3.5f));
    return bitmap;
}
