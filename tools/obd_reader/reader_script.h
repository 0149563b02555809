// Scripted readings for tests: the OBD-II reader stand-in applies one line per tick instead of
// running the simulated engine.
//
// Plain text, one command per line; blank lines and lines starting with '#' are ignored;
// numbers use a '.' decimal point, PID numbers may be written 0x0C or 12:
//
//   link N           link state 0..7 (0 "N/C" ... 7 "Idle")
//   pid N VALUE      raw value 0..65535 of PID N (0..31), published while the PID is requested
//   volts V          battery voltage, published while it is wanted
//   odometer KM      odometer and trip in kilometres (published in the unit the cluster wants)
//   trip KM
//   mpg A B C        the three economy figures, miles per US gallon
//   factor F         the speed factor
//   forget           the reader drops every request (PID bits and the voltage wish)
//   ask              the reader asks the registered window for its requests (WM_USER)
//   wait N           N ticks with no change
//
// After the last line the reader keeps publishing the last values.
#pragma once

#include <string>
#include <vector>

struct ScriptStep {
    enum class Command { Link, Pid, Volts, Odometer, Trip, Mpg, Factor, Forget, Ask, Wait };
    Command command = Command::Wait;
    int pid = 0;
    double number[3] = {};
};

// Parses a whole script into one step per tick ("wait N" gives N steps). On a malformed line
// returns false and names the line in `error`.
bool ParseReaderScript(const std::string& text, std::vector<ScriptStep>& steps, std::string& error);
