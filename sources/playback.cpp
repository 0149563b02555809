#include "sources/playback.h"

#include <algorithm>
#include <utility>

namespace {

constexpr uint8_t kPacketStart0 = 0xA0;
constexpr uint8_t kPacketStart1 = 0xA2;

bool IsLineEnd(uint8_t byte) {
    return byte == '\r' || byte == '\n';
}

bool PacketStartsAt(const uint8_t* data, size_t dataEnd, size_t at) {
    return at + 1 < dataEnd && data[at] == kPacketStart0 && data[at + 1] == kPacketStart1;
}

void CutBinaryRecord(const uint8_t* data, size_t dataEnd, size_t& cursor, PlaybackRecord& record) {
    size_t& n = record.length;
    if (data[cursor] == kPacketStart0) record.bytes[n++] = data[cursor++];
    while (cursor < dataEnd && n < kMaxBinaryRecord && !PacketStartsAt(data, dataEnd, cursor))
        record.bytes[n++] = data[cursor++];
}

// A line, then the line ends after it. A run of line ends longer than the area holds is carried
// into the records that follow (each of them only line ends), so no byte of the log is lost.
void CutTextRecord(const uint8_t* data, size_t dataEnd, size_t& cursor, PlaybackRecord& record) {
    size_t& n = record.length;
    while (cursor < dataEnd && n < kMaxTextRecordLine && !IsLineEnd(data[cursor]))
        record.bytes[n++] = data[cursor++];
    while (cursor < dataEnd && n < kRecordAreaSize - 1 && IsLineEnd(data[cursor]))
        record.bytes[n++] = data[cursor++];
}

void SendStart(const SendToServer& send) {
    send(ServerMessage{1, kStartMessageKind, nullptr, 0});
}

void SendEnd(const SendToServer& send) {
    send(ServerMessage{0, kEndMessageKind, nullptr, 0});
}

} // namespace

bool IsBinaryLog(const uint8_t* bytes, size_t size) {
    const size_t probe = std::min(size, kBinaryProbeLength);
    for (size_t at = 0; at < probe; ++at)
        if (PacketStartsAt(bytes, size, at)) return true;
    return false;
}

void CutRecord(const uint8_t* data, size_t dataEnd, size_t& cursor, bool binary,
               PlaybackRecord& record) {
    record.length = 0;
    if (binary) {
        CutBinaryRecord(data, dataEnd, cursor, record);
    } else {
        CutTextRecord(data, dataEnd, cursor, record);
    }
    record.bytes[record.length] = 0;
}

bool DiscardPlayback(PlaybackState& state) {
    const bool wasLoaded = PlaybackLoaded(state);
    state.buffer = std::vector<uint8_t>();
    state.cursor = 0;
    state.dataEnd = 0;
    return wasLoaded;
}

bool StartPlayback(PlaybackState& state, LogFile file, const SendToServer& send) {
    const bool replaced = DiscardPlayback(state);
    if (file.opened) state.fileSize = file.size;
    // A file that shrank while it was read plays as far as it was read, if that is enough.
    const bool plays =
        file.opened && file.size >= kMinimumLogSize && file.bytes.size() >= kMinimumLogSize;
    if (!plays) {
        if (replaced) SendEnd(send);
        return false;
    }
    state.buffer = std::move(file.bytes);
    state.dataEnd = state.buffer.size();
    state.cursor = 0;
    SendStart(send);
    state.binaryRecords = IsBinaryLog(state.buffer.data(), state.dataEnd);
    return true;
}

void SendNextRecord(PlaybackState& state, const SendToServer& send) {
    if (!PlaybackLoaded(state)) return;
    PlaybackRecord record;
    CutRecord(state.buffer.data(), state.dataEnd, state.cursor, state.binaryRecords, record);
    send(ServerMessage{0, kRecordMessageKind, record.bytes,
                       static_cast<uint32_t>(record.length + 1)});
    if (state.cursor >= state.dataEnd) {
        DiscardPlayback(state);
        SendEnd(send);
    }
}

void StopPlayback(PlaybackState& state, const SendToServer& send) {
    DiscardPlayback(state);
    SendEnd(send);
}

uint32_t PlaybackTick(PlaybackState& state, uint32_t playSpeed, const SendToServer& send) {
    const uint32_t records = std::min(playSpeed, kMaxPlaySpeed) + 1;
    uint32_t sent = 0;
    while (sent < records && PlaybackLoaded(state)) {
        SendNextRecord(state, send);
        ++sent;
    }
    return sent;
}

uint32_t PlaybackProgress(const PlaybackState& state) {
    return PlaybackLoaded(state) ? static_cast<uint32_t>(state.cursor / kProgressUnit) : 0;
}

uint32_t PlaybackProgressRange(const PlaybackState& state) {
    return state.fileSize / kProgressUnit;
}
