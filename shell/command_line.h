// The command line: splitting the copied text into arguments in place, and reading the numbers,
// skin folder and host window title out of them.
#pragma once

#include <cstdint>
#include <functional>

#include "state/win_types.h"

struct AppState;

constexpr int kMaxArguments = 32;

// Splits `text` in place into at most kMaxArguments arguments, each a pointer into `text`.
// Separators are space, CR, LF, tab and comma; they and the closing quotes are overwritten with
// zero bytes. After a CR, LF or comma, an argument runs to the next CR, LF or comma, so it may hold
// blanks ("one, two three" gives "one" and "two three"); a double-quoted argument runs to the next
// quote, or to the end of the text when there is none. Returns the number of arguments.
int SplitCommandLine(char* text, char* arguments[kMaxArguments]);

// Reads a decimal integer as the C runtime's atoi does: optional leading blanks and sign,
// conversion stops at the first non-digit ("12px" gives 12). Values beyond int32 saturate.
int32_t ParseLeadingInteger(const char* text);

// What the argument interpretation asks of the system.
struct ArgumentLookups {
    // The argument names an existing file or folder (relative to the program folder).
    std::function<bool(const char*)> pathExists;
    // The top-level window with exactly this title, or null.
    std::function<WindowHandle(const char*)> findWindow;
    // The desktop window, the host when numbers were given without a matching title.
    std::function<WindowHandle()> desktopWindow;
};

// Interprets the arguments first to last into `app`: an existing path becomes the skin folder, the
// first two non-zero integers the host offsets, an exact window title the host window (a later
// match replaces an earlier one); anything else is ignored. With a number but no host window, the
// desktop becomes the host.
void InterpretArguments(char* const arguments[], int count, const ArgumentLookups& lookups,
                        AppState& app);
