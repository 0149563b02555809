// Log playback: a recorded GPS log, loaded whole, is cut into records and handed to the GPS
// server one record at a time, paced by the frame tick; the server publishes what it makes of
// them in its shared section, so the gauges replay the trip through the ordinary feed.
//
// Portable: the file's bytes come in, the three server messages go out through `SendToServer`
// (WM_COPYDATA to the server's window in the program, sources/playback_win.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// A log shorter than this is not played.
constexpr uint32_t kMinimumLogSize = 10;
// The log is binary when a packet start (0xA0 0xA2) begins below this offset.
constexpr size_t kBinaryProbeLength = 200;
// The area a record is built in: the record's bytes and the zero byte after them.
constexpr size_t kRecordAreaSize = 256;
// Most characters of a text line in one record, before its line ends.
constexpr size_t kMaxTextRecordLine = 254;
// Most bytes of a binary record.
constexpr size_t kMaxBinaryRecord = 250;
// Progress counts in units of this many bytes.
constexpr uint32_t kProgressUnit = 16;
// Play speeds the dialog's trackbar sets: records per frame tick minus one.
constexpr uint32_t kMinPlaySpeed = 1;
constexpr uint32_t kMaxPlaySpeed = 11;

struct PlaybackState {
    std::vector<uint8_t> buffer; // the loaded log; empty when no playback is loaded
    uint32_t fileSize = 0;       // size of the last file opened; kept for the progress range
    size_t cursor = 0;           // next byte to send, as an offset into `buffer`
    size_t dataEnd = 0;          // one past the last byte read from the file
    bool binaryRecords = false;  // the log is a stream of binary packets
};

// One record as sent: `length` bytes followed by a zero byte.
struct PlaybackRecord {
    uint8_t bytes[kRecordAreaSize] = {};
    size_t length = 0;
};

// The messages of a playback, as the GPS server's window receives them (WM_COPYDATA's wParam
// and dwData, and the data: null and 0 for the start and end messages).
struct ServerMessage {
    uint32_t wParam = 0;
    uint32_t dwData = 0;
    const uint8_t* data = nullptr;
    uint32_t size = 0;
};
using SendToServer = std::function<void(const ServerMessage&)>;

constexpr uint32_t kStartMessageKind = 1;
constexpr uint32_t kRecordMessageKind = 2;
constexpr uint32_t kEndMessageKind = 0;

inline bool PlaybackLoaded(const PlaybackState& state) {
    return !state.buffer.empty();
}

// Whether a log of these bytes is played as binary packets.
bool IsBinaryLog(const uint8_t* bytes, size_t size);

// Cuts the record that starts at `cursor` (below `dataEnd`) and moves `cursor` past it. Every
// record holds at least one byte, and every byte of the data goes into exactly one record.
void CutRecord(const uint8_t* data, size_t dataEnd, size_t& cursor, bool binary,
               PlaybackRecord& record);

// A log file as read: whether it opened, the size the file reported and the bytes read.
struct LogFile {
    bool opened = false;
    uint32_t size = 0;
    std::vector<uint8_t> bytes;
};

// Replaces any loaded playback with `file` and, when the file is long enough to play, sends the
// start message. When a running playback is replaced by a file that does not play, the server is
// told that playback ended (otherwise it would wait for records that never come). Returns
// whether the file plays.
bool StartPlayback(PlaybackState& state, LogFile file, const SendToServer& send);

// Sends the next record; after the last one the playback is unloaded and the end message sent.
// Does nothing when no playback is loaded.
void SendNextRecord(PlaybackState& state, const SendToServer& send);

// Unloads the playback and sends the end message.
void StopPlayback(PlaybackState& state, const SendToServer& send);

// The frame tick's share: playSpeed + 1 records while a playback is loaded (a play speed beyond
// the dialog's range counts as its highest). Returns how many records were sent.
uint32_t PlaybackTick(PlaybackState& state, uint32_t playSpeed, const SendToServer& send);

// The progress bar's position (bytes sent so far) and its upper end (the last file's size), both
// in progress units.
uint32_t PlaybackProgress(const PlaybackState& state);
uint32_t PlaybackProgressRange(const PlaybackState& state);
