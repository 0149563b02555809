// The OBD-II reader's record in its shared section "KELBO2": link state, the PID request bits
// the cluster writes, and the latest raw PID values with the reader's own distance, voltage and
// fuel-economy figures. The layout is shared with the reader program, so every offset is fixed;
// bytes not named here belong to the reader and are never touched.
#pragma once

#include <cstddef>
#include <cstdint>

// Name of the reader's shared section (opened, never created, by the cluster).
constexpr const char kObdSectionName[] = "KELBO2";
// Title of the reader's message window.
constexpr const char kObdReaderWindowTitle[] = "KelboMsgWnd";

// Messages exchanged with the reader (numbers as Win32 defines them; WM_USER is 0x400).
constexpr uint32_t kObdRegisterMessage = 0x0400;      // to the reader: wParam below, lParam hwnd
constexpr uint32_t kObdRegisterWParam = 0x04000002;   // "notify this window"
constexpr uint32_t kObdResetOdometerMessage = 0x0403; // to the reader: reset odometer and trip
constexpr uint32_t kObdAskRequestsMessage = 0x0400;   // from the reader: send the PID wishes again

// Bits of optionFlags.
constexpr uint8_t kObdOptionVolts = 0x01;  // battery voltage wanted
constexpr uint8_t kObdOptionMetric = 0x02; // metric units wanted

constexpr int kObdPidSlots = 32;
constexpr int kObdMpgFigures = 3;

// Link states the reader publishes in linkState.
constexpr uint8_t kObdLinkNotConnected = 0;
constexpr uint8_t kObdLinkIdle = 7;

struct ObdSnapshot {
    uint8_t clientCount; // attached programs; each counts itself in and out
    uint8_t reserved1;
    uint8_t linkState; // index into the status words; 0 = not connected
    uint8_t reserved3[4];
    uint8_t optionFlags; // kObdOption* bits
    uint8_t reserved8[32];
    uint32_t pidRequestMask; // bit n: PID n is wanted
    uint8_t reserved44[28];
    uint32_t pidSlot[kObdPidSlots]; // low 16 bits: A, or A * 256 + B for two-byte PIDs
    uint8_t reserved200[9536];
    uint32_t odometerMilli; // thousandths of the reader's distance unit
    uint32_t tripMilli;
    uint16_t voltsTenths;
    uint16_t mpgHundredths[kObdMpgFigures];
    uint8_t reserved9752[516];
    float speedFactor; // applied to the PID 0x0D speed when the cluster is not metric
};
static_assert(sizeof(ObdSnapshot) == 10272, "ObdSnapshot size");
static_assert(offsetof(ObdSnapshot, clientCount) == 0, "ObdSnapshot.clientCount");
static_assert(offsetof(ObdSnapshot, reserved1) == 1, "ObdSnapshot.reserved1");
static_assert(offsetof(ObdSnapshot, linkState) == 2, "ObdSnapshot.linkState");
static_assert(offsetof(ObdSnapshot, reserved3) == 3, "ObdSnapshot.reserved3");
static_assert(offsetof(ObdSnapshot, optionFlags) == 7, "ObdSnapshot.optionFlags");
static_assert(offsetof(ObdSnapshot, reserved8) == 8, "ObdSnapshot.reserved8");
static_assert(offsetof(ObdSnapshot, pidRequestMask) == 40, "ObdSnapshot.pidRequestMask");
static_assert(offsetof(ObdSnapshot, reserved44) == 44, "ObdSnapshot.reserved44");
static_assert(offsetof(ObdSnapshot, pidSlot) == 72, "ObdSnapshot.pidSlot");
static_assert(offsetof(ObdSnapshot, pidSlot) + 4 * 0x04 == 88, "ObdSnapshot.pidSlot[0x04]");
static_assert(offsetof(ObdSnapshot, pidSlot) + 4 * 0x11 == 140, "ObdSnapshot.pidSlot[0x11]");
static_assert(offsetof(ObdSnapshot, reserved200) == 200, "ObdSnapshot.reserved200");
static_assert(offsetof(ObdSnapshot, odometerMilli) == 9736, "ObdSnapshot.odometerMilli");
static_assert(offsetof(ObdSnapshot, tripMilli) == 9740, "ObdSnapshot.tripMilli");
static_assert(offsetof(ObdSnapshot, voltsTenths) == 9744, "ObdSnapshot.voltsTenths");
static_assert(offsetof(ObdSnapshot, mpgHundredths) == 9746, "ObdSnapshot.mpgHundredths");
static_assert(offsetof(ObdSnapshot, reserved9752) == 9752, "ObdSnapshot.reserved9752");
static_assert(offsetof(ObdSnapshot, speedFactor) == 10268, "ObdSnapshot.speedFactor");

// The raw value of PID n: the low 16 bits of its slot; 0 for a PID outside the slots.
uint16_t ObdRawPid(const ObdSnapshot& snapshot, int pid);

// The reader's link words, indexed by linkState.
constexpr int kObdStateWordCount = 8;
extern const char* const kObdStateWords[kObdStateWordCount];

// The status word for the configuration dialog's status line: "N/C" while not attached
// (snapshot null), and for a link state the reader should never publish.
const char* ObdStatusWord(const ObdSnapshot* snapshot);
