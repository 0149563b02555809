// When the mouse pointer is hidden and shown again: after five still second ticks it is hidden,
// at the first tick after it moves it comes back.
#pragma once

#include <cstdint>

#include "state/win_types.h"

struct AppState;

constexpr uint32_t kStillSecondsBeforeHiding = 5;

enum class PointerAction { None, Hide, Restore };

// One second tick of pointer hiding with the pointer at `position`; updates `stillSeconds`,
// `cursorHidden` and `lastCursorPos` and says what to do with the system arrow.
PointerAction PointerHidingStep(AppState& app, PointI32 position);
