// Any file played back: the records keep within their area, end with their zero byte and give
// back the whole file in order, between one start and one end message; a file too short to
// play sends nothing.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sources/playback.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> sent;
    int starts = 0, ends = 0;
    bool badRecord = false;
    const SendToServer send = [&](const ServerMessage& m) {
        if (m.dwData == kStartMessageKind) {
            ++starts;
        } else if (m.dwData == kEndMessageKind) {
            ++ends;
        } else if (m.size == 0 || m.size > kRecordAreaSize || m.data[m.size - 1] != 0) {
            badRecord = true;
        } else {
            sent.insert(sent.end(), m.data, m.data + m.size - 1);
        }
    };
    const std::vector<uint8_t> log(data, data + size);
    PlaybackState state;
    const bool plays = StartPlayback(state, LogFile{true, uint32_t(size), log}, send);
    const uint32_t playSpeed = size > 0 ? data[size - 1] % 16 : 0;
    while (PlaybackLoaded(state))
        PlaybackTick(state, playSpeed, send);

    if (badRecord || plays != (size >= kMinimumLogSize)) __builtin_trap();
    if (plays && (sent != log || starts != 1 || ends != 1)) __builtin_trap();
    if (!plays && (!sent.empty() || starts != 0 || ends != 0)) __builtin_trap();
    return 0;
}
