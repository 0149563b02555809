#include "shell/command_line.h"

#include <climits>
#include <cstring>

#include "state/app_state.h"

namespace {

bool IsSeparator(char c) {
    return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == ',';
}

// After one of these, blanks and tabs belong to the next argument.
bool IsLineSeparator(char c) {
    return c == '\r' || c == '\n' || c == ',';
}

} // namespace

int SplitCommandLine(char* text, char* arguments[kMaxArguments]) {
    int count = 0;
    char lastSeparator = 0;
    char* p = text;
    while (*p != 0 && count < kMaxArguments) {
        // Remember the last separator of the run; blanks after a CR, LF or comma in the same
        // run do not cancel it, so "one, two three" keeps "two three" together.
        bool lineSeparatorInRun = false;
        while (*p != 0 && IsSeparator(*p)) {
            if (IsLineSeparator(*p)) {
                lineSeparatorInRun = true;
                lastSeparator = *p;
            } else if (!lineSeparatorInRun) {
                lastSeparator = *p;
            }
            *p++ = 0;
        }
        if (*p == 0) {
            break;
        }
        if (*p == '"') {
            ++p;
            if (*p == 0) {
                break; // a lone quote at the end: nothing follows it
            }
            arguments[count++] = p;
            char* close = std::strchr(p, '"');
            if (close == nullptr) {
                return count; // unclosed: the argument runs to the end and splitting ends
            }
            *close = 0;
            p = close + 1;
        } else {
            arguments[count++] = p;
        }
        // Move to the end of the argument (after a quoted one, skip what follows the quote).
        if (IsLineSeparator(lastSeparator)) {
            while (*p != 0 && !IsLineSeparator(*p)) {
                ++p;
            }
        } else {
            while (*p != 0 && !IsSeparator(*p)) {
                ++p;
            }
        }
    }
    // The terminator of the last argument is normally zeroed by the next pass; after the 32nd
    // there is none, so end it here and let the rest of the line be ignored.
    if (count == kMaxArguments) {
        *p = 0;
    }
    return count;
}

int32_t ParseLeadingInteger(const char* text) {
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f') {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    int64_t value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + (*p - '0');
        if (value > int64_t(INT32_MAX) + 1) {
            value = int64_t(INT32_MAX) + 1; // saturate instead of overflowing
        }
        ++p;
    }
    if (negative) {
        value = -value;
    }
    if (value > INT32_MAX) {
        value = INT32_MAX;
    }
    return int32_t(value);
}

void InterpretArguments(char* const arguments[], int count, const ArgumentLookups& lookups,
                        AppState& app) {
    int numbersTaken = 0;
    for (int i = 0; i < count; ++i) {
        const char* argument = arguments[i];
        if (lookups.pathExists(argument)) {
            std::strncpy(app.skinFolder, argument, sizeof(app.skinFolder) - 1);
            app.skinFolder[sizeof(app.skinFolder) - 1] = 0;
            app.skinFromCommandLine = true;
            continue;
        }
        const int32_t number = ParseLeadingInteger(argument);
        if (number != 0) {
            if (numbersTaken == 0) {
                app.hostOffsetX = number;
            } else if (numbersTaken == 1) {
                app.hostOffsetY = number;
            }
            ++numbersTaken;
            continue;
        }
        if (WindowHandle window = lookups.findWindow(argument)) {
            app.hostWindow = window;
        }
    }
    if (numbersTaken > 0 && app.hostWindow == nullptr) {
        app.hostWindow = lookups.desktopWindow();
    }
}
