// What the shown OBD-II gauges need from the reader: PID request bits and option bits, and how
// they are written into the reader's record.
#pragma once

#include <cstdint>

#include "state/skin_record.h"
#include "sources/obd_snapshot.h"

struct ObdRequests {
    uint32_t pidMask = 0;   // bit n: PID n
    uint8_t optionBits = 0; // kObdOption* bits (only kObdOptionVolts is ever requested)
};

// The requests of every kind shown in the skin. The odometer and trip kinds request nothing.
ObdRequests ObdRequestsForSkin(const SkinRecord& skin);

// Sets the requested bits in the record; bits already set (by this or another program) stay,
// and nothing is ever cleared. Words that already hold every bit are not written, so the
// read-modify-write races with the reader's own writes as seldom as possible.
void ApplyObdRequests(ObdSnapshot& snapshot, const ObdRequests& requests);

// The metric switch of the configuration dialog: sets or clears the metric option bit.
void SetObdMetricOption(ObdSnapshot& snapshot, bool metric);
