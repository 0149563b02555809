#include "config/snap_slider.h"

#include <algorithm>

namespace {

// The sunken edge drawn around the pad is two pixels wide; the knob stays inside it.
constexpr int32_t kPadEdge = 2;

int32_t Halved(int32_t value) {
    return value >> 1; // an arithmetic shift, also for sizes below zero
}

int32_t Clamped(int32_t value, int32_t half, int32_t extent) {
    value = std::max(value, half + kPadEdge);
    return std::min(value, extent - half - kPadEdge);
}

// The output of one axis: a deflection taken as 16 bits, scaled and truncated toward zero.
void UpdateAxis(int16_t& out, int32_t centre, int32_t knob, int32_t scale, int32_t range) {
    if (range == 0) return;
    const int64_t deflection = int16_t(centre - knob);
    out = int16_t(deflection * scale / range);
}

} // namespace

int32_t KnobHalf(const SnapSliderState& slider) {
    return Halved(slider.knobSize);
}

int32_t RangeX(const SnapSliderState& slider) {
    return Halved(slider.width - 2 * kPadEdge) - KnobHalf(slider);
}

int32_t RangeY(const SnapSliderState& slider) {
    return Halved(slider.height - 2 * kPadEdge) - KnobHalf(slider);
}

RectI32 KnobRect(const SnapSliderState& slider) {
    const int32_t left = slider.knobX - KnobHalf(slider);
    const int32_t top = slider.knobY - KnobHalf(slider);
    return {left, top, left + slider.knobSize, top + slider.knobSize};
}

bool IsOnKnob(const SnapSliderState& slider, int32_t x, int32_t y) {
    const RectI32 knob = KnobRect(slider);
    return knob.left <= x && x <= knob.right && knob.top <= y && y <= knob.bottom;
}

void PlaceKnob(SnapSliderState& slider, int32_t x, int32_t y) {
    const int32_t half = KnobHalf(slider);
    slider.knobX = Clamped(x, half, slider.width);
    slider.knobY = Clamped(y, half, slider.height);
}

void CentreKnob(SnapSliderState& slider) {
    slider.knobX = Halved(slider.width);
    slider.knobY = Halved(slider.height);
}

void UpdateOutputs(SnapSliderState& slider) {
    UpdateAxis(slider.outX, Halved(slider.width), slider.knobX, slider.scale, RangeX(slider));
    UpdateAxis(slider.outY, Halved(slider.height), slider.knobY, slider.scale, RangeY(slider));
}

uint32_t ReportParam(const SnapSliderState& slider) {
    return uint32_t(uint16_t(slider.outX)) | (uint32_t(uint16_t(slider.outY)) << 16);
}

SliderResponse PressSlider(SnapSliderState& slider, int32_t x, int32_t y) {
    if (IsOnKnob(slider, x, y)) {
        slider.tracking = true;
        return {};
    }
    PlaceKnob(slider, x, y);
    UpdateOutputs(slider);
    slider.tracking = true;
    return {true, true, true};
}

SliderResponse MoveOverSlider(SnapSliderState& slider, int32_t x, int32_t y) {
    if (!slider.tracking) return {};
    PlaceKnob(slider, x, y);
    UpdateOutputs(slider);
    return {true, true, false};
}

SliderResponse ReleaseSlider(SnapSliderState& slider) {
    slider.tracking = false;
    CentreKnob(slider);
    UpdateOutputs(slider);
    return {true, true, false};
}

SliderResponse SliderTimerTick(SnapSliderState& slider) {
    UpdateOutputs(slider);
    return {false, true, false};
}
