// The Windows services of the drawing code: window invalidation, the exclamation beep, the
// local clock, the user's time and date formats, the active window, the pointer and the focus
// rectangle.
#pragma once

#include "render/gauge_display.h"

DisplayHooks WindowsDisplayHooks();
