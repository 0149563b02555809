#include "sources/obd_snapshot.h"

const char* const kObdStateWords[kObdStateWordCount] = {"N/C",  "Closed", "Open", "Working",
                                                        "Init", "TO",     "Busy", "Idle"};

uint16_t ObdRawPid(const ObdSnapshot& snapshot, int pid) {
    if (pid < 0 || pid >= kObdPidSlots) return 0;
    return static_cast<uint16_t>(snapshot.pidSlot[pid] & 0xFFFFu);
}

const char* ObdStatusWord(const ObdSnapshot* snapshot) {
    if (snapshot == nullptr) return kObdStateWords[0];
    const uint8_t state = snapshot->linkState;
    return state < kObdStateWordCount ? kObdStateWords[state] : kObdStateWords[0];
}
