// Talking to an ELM327-compatible OBD-II adapter: cutting its answers at the prompt, reading
// them (echo on or off, spaces on or off, "SEARCHING...", "NO DATA", "?", "STOPPED", one line per
// answering ECU), decoding mode 01 PID bytes into the reader's raw values, and the conversation
// itself: the set-up commands, then one request per PID the cluster asked for, round after round.
// The serial port is the caller's (tools/common/serial_port_win.cpp); nothing here waits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/obd_reader/engine_sim.h"

// One answer of the adapter, read.
struct ElmReply {
    enum class Kind {
        Data,    // at least one line of hex bytes
        Ok,      // "OK"
        NoData,  // "NO DATA", or nothing at all before the prompt
        Unknown, // "?": the adapter did not understand the command
        Stopped, // "STOPPED": the request was cut short
        Busy,    // "BUS BUSY", "BUFFER FULL"
        Error, // "UNABLE TO CONNECT", "CAN ERROR", "BUS ERROR", "ERR94", "BUS INIT: ...ERROR", ...
        Text,  // anything else ("ELM327 v1.5", "12.3V")
    };
    Kind kind = Kind::NoData;
    std::vector<std::vector<uint8_t>> frames; // the hex lines, one per answering ECU
    std::vector<std::string> lines;           // every line that is neither echo nor "SEARCHING..."
};

// Moves one whole answer (everything up to the prompt '>') out of `received` into `reply`.
// False while the prompt has not arrived; bytes after the prompt stay in `received`.
bool TakeElmReply(std::string& received, std::string& reply);

// Reads an answer to `command` (the command's echo, if the adapter still echoes, is dropped).
ElmReply ParseElmReply(const std::string& reply, const std::string& command);

// How many data bytes a mode 01 PID (0x00..0x1F) answers with.
int PidDataBytes(int pid);

// The raw value for the PID slot from a mode 01 answer: A for one-byte PIDs, A * 256 + B for
// longer ones; the first ECU that answered the PID in full wins. False when none did.
bool DecodePidReply(const ElmReply& reply, int pid, uint16_t& raw);

// The battery voltage of an "ATRV" answer ("12.6V"). False when there is none.
bool DecodeVoltage(const ElmReply& reply, float& volts);

// The mode 01 request for a PID: "010C".
std::string PidRequest(int pid);

// The PIDs the cluster asked for, lowest first.
std::vector<int> RequestedPids(uint32_t requestMask);

// Link states as the cluster words them.
constexpr uint8_t kElmLinkNone = 0;    // "N/C": no adapter
constexpr uint8_t kElmLinkOpen = 2;    // "Open": adapter there, no vehicle answers
constexpr uint8_t kElmLinkWorking = 3; // "Working": the vehicle answers
constexpr uint8_t kElmLinkInit = 4;    // "Init": setting the adapter up
constexpr uint8_t kElmLinkTimeOut = 5; // "TO": the last command got no answer in time
constexpr uint8_t kElmLinkBusy = 6;    // "Busy": the bus is busy
constexpr uint8_t kElmLinkIdle = 7;    // "Idle": nothing requested

// What a command asks for, besides a PID (0..31).
constexpr int kElmSetupCommand = -1;
constexpr int kElmKeepAlive = -3;
constexpr int kElmVoltageRequest = -2;

// The conversation with one adapter, from the moment its port opened.
struct ElmSession {
    size_t setupStep = 0;              // index into the set-up commands; past them: polling
    std::string pending;               // the command waiting for its answer; empty: none
    int pendingPid = kElmSetupCommand; // the PID it asks for, or one of the kElm* above
    double waitedSeconds = 0.0;
    double idleSeconds = 0.0; // since the last keep-alive while nothing is requested
    int timeOutsInARow = 0;
    bool searched = false;  // the first request, during which the adapter finds the protocol, ended
    std::vector<int> round; // what is left to ask in this round: PIDs, kElmVoltageRequest
    bool roundPolled = false;   // this round asked for a PID
    bool roundAnswered = false; // and the car answered one with data
    std::string received;       // bytes of an answer not complete yet
    uint8_t linkState = kElmLinkInit;
};

// What the caller does after a step.
struct ElmOutput {
    std::string send;  // to write to the port (ends with '\r'); empty: nothing
    bool lost = false; // the adapter stopped answering: close the port
};

// One step of the conversation: `bytes` arrived since the last step, `seconds` passed. Decoded
// values land in `values.pid` and `values.volts`; a "NO DATA", an error or a time-out leaves
// them as they were. An answer that comes after its command timed out cannot pass for another
// PID's: every mode 01 answer names its PID.
ElmOutput ElmStep(ElmSession& session, const std::string& bytes, double seconds,
                  uint32_t requestMask, bool voltsWanted, ReaderValues& values);

// After this many unanswered commands in a row the adapter counts as unplugged.
constexpr int kElmTimeOutsUntilLost = 3;
