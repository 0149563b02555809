// The controller's decisions: the animation tick with its automatic adds and removals, the tray
// icon's clicks and the menu's commands. The Win32 glue decodes the messages and calls these.
#pragma once

#include "balls/ball_desktop.h"
#include "balls/ball_world.h"
#include "balls/random_source.h"

#include <cstdint>

// Menu commands (the dialog manager's IDCANCEL doubles as "Exit").
constexpr uint32_t kCommandAddOne = 40001;
constexpr uint32_t kCommandDeleteOne = 40002;
constexpr uint32_t kCommandCollision = 40003;
constexpr uint32_t kCommandExit = 2;

// Mouse notifications of the tray icon's callback.
constexpr uint32_t kTrayLeftButtonDown = 0x0201;
constexpr uint32_t kTrayRightButtonUp = 0x0205;

// Automatic phase: the next event comes 70 + 0..500 ticks after the last; removals start with
// the fourth event.
constexpr int32_t kAutoMinTicks = 70;
constexpr int32_t kAutoExtraTicks = 500;
constexpr int32_t kAutoFirstRemovalEvent = 4;

// One timer tick: next frame, the motion step, then the automatic phase.
void ControllerTick(BallWorld& world, RandomSource& random, BallDesktop& desktop);

enum class TrayAction { None, OpenMenu };
// A mouse notification of the tray icon. A left click adds a ball (limited); the caller opens
// the menu when asked to.
TrayAction OnTrayNotify(BallWorld& world, BallDesktop& desktop, uint32_t mouseMessage);

enum class CommandResult { Handled, Exit, Ignored };
CommandResult RunMenuCommand(BallWorld& world, BallDesktop& desktop, uint32_t command);
