// An NMEA log file replayed as a receiver would send it: each sentence that carries a time of
// day (RMC, GGA, GLL, ZDA) waits until that much time has passed since the previous timed one;
// the sentences in between go with the one before them. A receiver sends its time of day only,
// so a step back of more than half a day is taken as midnight; other steps back, and gaps longer
// than kLongestLogGapMs, are cut to no wait and to that gap. A log with no timed sentence at all
// goes at kUntimedLineMs a line. Looping starts again from the first line, after one second.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr uint32_t kLongestLogGapMs = 10000;
constexpr uint32_t kUntimedLineMs = 100;
constexpr uint32_t kLoopPauseMs = 1000;

struct PacedLog {
    std::vector<std::string> lines; // without line ends
    std::vector<uint32_t> waitMs;   // before each line, after the one before it
};

// The log's lines and the wait before each; the first line goes at once.
PacedLog PaceLog(std::string_view text);

// Where a replay is: the next line and when it is due.
struct LogReplay {
    size_t next = 0;
    uint32_t dueMs = 0;
    bool loop = false;
    bool finished = false;
};

LogReplay StartReplay(const PacedLog& log, uint32_t nowMs, bool loop);

// The lines due by now, in order (the clock may have run on past several of them).
std::vector<std::string_view> DueLines(const PacedLog& log, LogReplay& replay, uint32_t nowMs);

// The time of day of a sentence, in milliseconds since midnight; false when it carries none.
bool SentenceTimeOfDay(std::string_view line, uint32_t& msOfDay);
