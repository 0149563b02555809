// The Windows services of the drawing code: window invalidation, the exclamation beep, the
// local clock and the user's time and date formats.
#pragma once

#include "render/gauge_display.h"

DisplayHooks WindowsDisplayHooks();
