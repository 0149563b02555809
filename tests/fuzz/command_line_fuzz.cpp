// Any command-line tail: at most 32 arguments, each a string inside the copied buffer, in order
// and apart from each other; numbers read as the C runtime reads them (saturated to int32); the
// skin folder is a terminated prefix of an argument that names a path, and a number without a
// host title makes the desktop the host.
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_input.h"
#include "shell/command_line.h"
#include "state/app_state.h"

namespace {

// What atoi means by a number, saturated instead of undefined.
int32_t ReferenceInteger(const char* text) {
    errno = 0;
    long long v = std::strtoll(text, nullptr, 10);
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return int32_t(v);
}

WindowHandle Handle(uintptr_t n) {
    return reinterpret_cast<WindowHandle>(n);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    const std::vector<char> original = text;
    char* arguments[kMaxArguments] = {};
    const int count = SplitCommandLine(text.data(), arguments);
    Require(count >= 0 && count <= kMaxArguments);
    const char* begin = text.data();
    const char* end = begin + text.size();
    const char* after = begin;
    for (int i = 0; i < count; ++i) {
        const char* a = arguments[i];
        Require(a >= after && a < end);
        const size_t length = strnlen(a, size_t(end - a));
        Require(a + length < end); // terminated inside the buffer
        // The argument's bytes are the original text's, unchanged.
        Require(std::memcmp(a, original.data() + (a - begin), length) == 0);
        after = a + length + 1;
        Require(ParseLeadingInteger(a) == ReferenceInteger(a));
    }

    // Paths are the arguments that start with 'P', window titles those that start with 'W'.
    ArgumentLookups lookups;
    lookups.pathExists = [](const char* a) { return a[0] == 'P'; };
    lookups.findWindow = [](const char* a) { return a[0] == 'W' ? Handle(0x100) : nullptr; };
    lookups.desktopWindow = [] { return Handle(0x200); };
    const auto app = std::make_unique<AppState>();
    InterpretArguments(arguments, count, lookups, *app);

    Require(strnlen(app->skinFolder, sizeof app->skinFolder) < sizeof app->skinFolder);
    bool path = false, title = false;
    int numbers = 0;
    int32_t first = 0, second = 0;
    for (int i = 0; i < count; ++i) {
        const char* a = arguments[i];
        if (a[0] == 'P') {
            path = true;
            continue;
        }
        const int32_t n = ReferenceInteger(a);
        if (n != 0) {
            if (numbers == 0) first = n;
            if (numbers == 1) second = n;
            ++numbers;
        } else if (a[0] == 'W') {
            title = true;
        }
    }
    Require(app->skinFromCommandLine == path);
    if (path) Require(app->skinFolder[0] == 'P');
    Require(app->hostOffsetX == first && app->hostOffsetY == second);
    if (title)
        Require(app->hostWindow == Handle(0x100));
    else if (numbers > 0)
        Require(app->hostWindow == Handle(0x200));
    else
        Require(app->hostWindow == nullptr);
    return 0;
}
