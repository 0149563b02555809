#include "render/scale_marks.h"

#include <algorithm>

namespace {

// Pairs of a number and a tick checked at most; a scale beyond it is drawn the careful way.
constexpr std::size_t kMostChecks = 100000;

bool Overlap(const gfx::RectF& a, float left, float top, float right, float bottom) {
    return a.x < right && left < a.x + a.width && a.y < bottom && top < a.y + a.height;
}

} // namespace

bool NumbersClearOfLaterTicks(const ScaleMarks& marks, float penWidth) {
    if (marks.numbers.size() * (marks.ticks.size() / 2) > kMostChecks) return false;
    const float reach = penWidth / 2 + 2; // a pixel of anti-aliasing on either side
    for (const ScaleNumber& number : marks.numbers)
        for (std::size_t t = std::size_t(number.ticksBefore) * 2; t + 1 < marks.ticks.size();
             t += 2) {
            const gfx::PointF& a = marks.ticks[t];
            const gfx::PointF& b = marks.ticks[t + 1];
            if (Overlap(number.ink, std::min(a.x, b.x) - reach, std::min(a.y, b.y) - reach,
                        std::max(a.x, b.x) + reach, std::max(a.y, b.y) + reach))
                return false;
        }
    return true;
}

void DrawScaleMarks(gfx::Graphics& graphics, const gfx::Pen& pen, const gfx::Font& font,
                    const gfx::SolidBrush& brush, const ScaleMarks& marks) {
    const int32_t tickCount = int32_t(marks.ticks.size() / 2);
    const std::vector<int32_t> twos(std::size_t(tickCount), 2);
    int32_t drawn = 0;
    auto drawTicksUpTo = [&](int32_t end) {
        if (end <= drawn) return;
        graphics.DrawLineRuns(pen, marks.ticks.data() + 2 * drawn, twos.data(), end - drawn);
        drawn = end;
    };
    if (NumbersClearOfLaterTicks(marks, pen.Width())) drawTicksUpTo(tickCount);
    for (const ScaleNumber& number : marks.numbers) {
        drawTicksUpTo(number.ticksBefore);
        graphics.DrawString(number.text, font, {number.at.x, number.at.y, 0, 0}, nullptr, brush);
    }
    drawTicksUpTo(tickCount);
}
