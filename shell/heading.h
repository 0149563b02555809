// The heading shown by the heading rose, smoothed towards the course one step per frame tick so
// the needle swings instead of jumping, the short way round north.
#pragma once

#include <cstdint>

// Kinds that read the smoothed heading: 2 heading rose, 6 longitude, 14 satellites, 17 trails.
constexpr uint32_t kHeadingKindsMask = 0x00024044;

// Whether any kind that reads the smoothed heading is shown (low word of the shown mask).
inline bool HeadingSmoothingWanted(uint32_t shownMaskLow) {
    return (shownMaskLow & kHeadingKindsMask) != 0;
}

// One smoothing step of `displayed` (0..359) towards `target`: a third of the remaining angle,
// at least one degree. Returns the new displayed heading, 0..359.
int32_t SmoothHeading(int32_t displayed, int32_t target);

// The heading target while the configuration dialog previews the rose: 10 degrees further per tick.
int32_t PreviewHeading(int32_t displayed);

// The target heading from the shown course: truncated toward zero, brought into 0..359.
int32_t HeadingFromCourse(float course);
