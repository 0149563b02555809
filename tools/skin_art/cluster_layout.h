// Where the "Cluster" skin puts its gauges: one place for the pictures and the skin record, so
// the dials on the background and the needles drawn over them always meet.
#pragma once

#include <cstdint>

#include "skin/skin_record.h"

namespace cluster {

constexpr int32_t kFrameWidth = 360;
constexpr int32_t kFrameHeight = 200;
constexpr int32_t kRoseX = 90; // heading rose centre
constexpr int32_t kRoseY = 100;
constexpr int32_t kRoseRadius = 80;
constexpr int32_t kClockX = 290; // clock centre
constexpr int32_t kClockY = 96;
constexpr int32_t kClockRadius = 54;
constexpr int32_t kClockSize = 100; // hands drawn at their natural size
constexpr int32_t kColumnX = 176;   // the text gauges' column

// Label texts and their places on the background, top-left.
struct Label {
    const char* text;
    int32_t x;
    int32_t y;
};
constexpr Label kLabels[] = {{"SPEED", kColumnX, 18},
                             {"COURSE", kColumnX, 66},
                             {"ALT", kColumnX, 98},
                             {"TRIP", kColumnX, 130},
                             {"GPS", kColumnX, 160}};

// The compiled-in record with the Cluster's places, fonts, colours and shown gauges.
SkinRecord ClusterSkinRecord();

} // namespace cluster
