// The OBD-II gauge kinds' values: the reader's raw PID values and figures in the units the
// gauges show. Each number goes into both kinds of its pair (digital kind and its dial).
#pragma once

#include <cstdint>

#include "sources/obd_snapshot.h"

// Writes value[21..55] from the record. `metric` is the cluster's metric switch; `mpgTime` is
// the "Time" parameter (paramB) of "OBD2 MPG", which picks one of the reader's three economy
// figures. Every value written is finite, whatever the record holds.
void FillObdValues(float* value, const ObdSnapshot& snapshot, bool metric, uint16_t mpgTime);
