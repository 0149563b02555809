// Any trip: a line is due only for a finite, non-zero distance with logging on, and then it is
// the three texts and the distance with one decimal, comma-separated and ended by CR LF, the
// distance reading back to within half a tenth; the month's file name and the folders to create
// come from the path as the writer needs them.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_input.h"
#include "trip/trip_log.h"

namespace {

// One text of at most 40 bytes, up to the next zero byte.
std::string TakeText(FuzzInput& in) {
    std::string text;
    while (in.size > 0 && text.size() < 40) {
        const char c = char(in.Take<uint8_t>());
        if (c == '\0') break;
        text += c;
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    const uint8_t logging = in.Take<uint8_t>();
    const float distance = in.Take<float>();
    const uint16_t year = in.Take<uint16_t>();
    const uint8_t month = in.Take<uint8_t>();
    const std::string date = TakeText(in), start = TakeText(in), end = TakeText(in);
    const std::string path = TakeText(in);

    const bool due = TripLineDue(logging, distance);
    Require(due == (logging != 0 && distance != 0.0f && std::isfinite(distance)));
    if (due) {
        const std::string line = TripLogLine(date, start, end, distance);
        const std::string head = date + "," + start + "," + end + ",";
        Require(line.compare(0, head.size(), head) == 0);
        Require(line.size() >= head.size() + 5 && line.substr(line.size() - 2) == "\r\n");
        const std::string number = line.substr(head.size(), line.size() - head.size() - 2);
        size_t i = number[0] == '-' ? 1 : 0;
        const size_t digits = i;
        while (i < number.size() && number[i] >= '0' && number[i] <= '9')
            ++i;
        Require(i > digits && i + 2 == number.size() && number[i] == '.' && number[i + 1] >= '0' &&
                number[i + 1] <= '9');
        Require(std::fabs(std::strtod(number.c_str(), nullptr) - double(distance)) <=
                0.05 + std::fabs(double(distance)) * 1e-15);
    }

    const std::string name = TripLogFileName(path, year, month);
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%d-%02d.log", year, month);
    const std::string stem = RemovePathExtension(path);
    Require(name == stem + suffix);
    Require(path.compare(0, stem.size(), stem) == 0);
    for (const std::string& folder : TripLogFolders(path)) {
        Require(folder.size() > 2 && folder.size() < path.size());
        Require(path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '\\');
    }
    return 0;
}
