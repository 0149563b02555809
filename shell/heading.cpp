#include "shell/heading.h"

#include <cmath>

int32_t SmoothHeading(int32_t displayed, int32_t target) {
    if (target == displayed) {
        return displayed;
    }
    int32_t diff = displayed - target;
    if (diff > 180) {
        diff -= 360;
    }
    if (diff < -180) {
        diff += 360;
    }
    int32_t step;
    if (diff >= -3 && diff <= 3) {
        step = diff >= 0 ? 1 : -1;
    } else {
        step = diff / 3;
    }
    int32_t next = displayed - step;
    if (next < 0) {
        next += 360;
    }
    return next % 360;
}

int32_t PreviewHeading(int32_t displayed) {
    int32_t next = displayed + 10;
    if (next >= 360) {
        next -= 360;
    }
    return next;
}

int32_t HeadingFromCourse(float course) {
    // A course outside 0..359 (360.0, a negative value, garbage in the shared record) is brought
    // into range first: unreduced, 360 would never equal a displayed heading and the needle would
    // flicker between 359 and 0 for ever, and a huge or non-finite float cannot be converted.
    if (!std::isfinite(course)) {
        return 0;
    }
    // Reduced into 0..360 before the whole degrees are taken: truncating a negative course
    // first would round it up (-5.5 must give 354, not 355).
    double reduced = std::fmod(double(course), 360.0);
    if (reduced < 0) {
        reduced += 360.0;
    }
    const int32_t h = int32_t(reduced);
    return h >= 360 ? h - 360 : h; // a tiny negative course reduces to 360.0 itself
}
