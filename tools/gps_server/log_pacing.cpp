#include "tools/gps_server/log_pacing.h"

#include <algorithm>

#include "tools/gps_server/nmea_text.h"

namespace {

constexpr int64_t kDayMs = 24 * 3600 * 1000;

// The field that holds the time of day in each sentence type that has one.
size_t TimeField(std::string_view type) {
    if (type == "RMC" || type == "GGA" || type == "ZDA") return 1;
    if (type == "GLL") return 5;
    return 0;
}

uint32_t Wait(int64_t fromMs, int64_t toMs) {
    int64_t step = toMs - fromMs;
    if (step < -kDayMs / 2) step += kDayMs;
    return static_cast<uint32_t>(std::clamp<int64_t>(step, 0, kLongestLogGapMs));
}

} // namespace

bool SentenceTimeOfDay(std::string_view line, uint32_t& msOfDay) {
    const size_t start = line.find('$');
    if (start == std::string_view::npos) return false;
    NmeaSentence sentence;
    if (!ParseNmeaSentence(line.substr(start), sentence)) return false;
    const size_t field = TimeField(sentence.type);
    if (field == 0 || sentence.Field(field).empty()) return false;
    SystemTime16 time{};
    if (!ParseTimeOfDay(sentence.Field(field), time)) return false;
    msOfDay = ((time.hour * 60u + time.minute) * 60u + time.second) * 1000u + time.milliseconds;
    return true;
}

PacedLog PaceLog(std::string_view text) {
    PacedLog log;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        log.lines.emplace_back(line);
    }
    log.waitMs.assign(log.lines.size(), 0);
    bool timed = false;
    int64_t lastMs = 0;
    for (size_t i = 0; i < log.lines.size(); ++i) {
        uint32_t ms = 0;
        if (!SentenceTimeOfDay(log.lines[i], ms)) continue;
        if (timed) log.waitMs[i] = Wait(lastMs, ms);
        timed = true;
        lastMs = ms;
    }
    if (!timed) {
        for (size_t i = 1; i < log.waitMs.size(); ++i)
            log.waitMs[i] = kUntimedLineMs;
    }
    return log;
}

LogReplay StartReplay(const PacedLog& log, uint32_t nowMs, bool loop) {
    LogReplay replay;
    replay.loop = loop;
    replay.dueMs = nowMs;
    replay.finished = log.lines.empty();
    return replay;
}

std::vector<std::string_view> DueLines(const PacedLog& log, LogReplay& replay, uint32_t nowMs) {
    std::vector<std::string_view> due;
    // A stand-in held up for long (a suspended machine) goes on from now rather than sending
    // everything it missed at once.
    if (static_cast<int32_t>(nowMs - replay.dueMs) > static_cast<int32_t>(kLongestLogGapMs))
        replay.dueMs = nowMs;
    while (!replay.finished && static_cast<int32_t>(nowMs - replay.dueMs) >= 0) {
        due.push_back(log.lines[replay.next]);
        ++replay.next;
        if (replay.next == log.lines.size()) {
            if (!replay.loop) {
                replay.finished = true;
                break;
            }
            replay.next = 0;
            replay.dueMs += kLoopPauseMs;
        } else {
            replay.dueMs += log.waitMs[replay.next];
        }
    }
    return due;
}
