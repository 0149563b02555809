// Where the "Cluster" skin puts its gauges: one place for the pictures and the skin record, so
// the dials on the background and the needles drawn over them always meet.
#pragma once

#include <cstdint>

#include "state/skin_record.h"

namespace cluster {

constexpr int32_t kFrameWidth = 720;
constexpr int32_t kFrameHeight = 240;

// The two dials: speed on the left, engine speed on the right, both 240-degree scales opening
// downwards. The needle image is as tall as the dials, so it is drawn at its natural size.
constexpr int32_t kDialSize = 190;
constexpr int32_t kDialRadius = kDialSize / 2;
constexpr int32_t kSpeedX = 117; // speed dial centre
constexpr int32_t kRpmX = kFrameWidth - kSpeedX;
constexpr int32_t kDialY = 120;
constexpr int32_t kDialSweep = 240;
constexpr int32_t kSpeedRange = 160; // mph or km/h at full scale
constexpr int32_t kRpmRange = 80;    // hundreds of revolutions per minute at full scale
constexpr int32_t kRedline = 65;     // where the engine dial's red zone starts, in hundreds
constexpr int32_t kNeedleWidth = 14;
constexpr int32_t kNeedleHeight = kDialSize;

// The middle: heading tape across the top, the map view under it, readouts either side of the
// map, the speed trend and the coolant bar at the bottom.
constexpr int32_t kMiddleX = kFrameWidth / 2;
constexpr int32_t kTapeWidth = 180;
constexpr int32_t kTapeHeight = 22;
constexpr int32_t kTapeY = 12;
constexpr int32_t kMapY = 98;          // map view centre (x is kMiddleX)
constexpr int32_t kMapSize = 62;       // percent of 90 pixels
constexpr int32_t kMapRadius = 55;     // what that size gives
constexpr int32_t kMapZoom = 60;       // pixels per two miles
constexpr int32_t kLeftColumnX = 236;  // altitude and trip
constexpr int32_t kRightColumnX = 424; // odometer and time
constexpr int32_t kGraphX = kMiddleX - 60;
constexpr int32_t kGraphWidth = 120; // samples shown
constexpr int32_t kGraphY = 160;
constexpr int32_t kGraphHeight = 26;
constexpr int32_t kBarX = kMiddleX - 60;
constexpr int32_t kBarLength = 120;
constexpr int32_t kBarY = 196;
constexpr int32_t kCoolantStart = 20; // bar from 20 to 260 (F, or C when metric), two per pixel
constexpr int32_t kCoolantRange = 260;

// Label texts and their places on the background, top-left.
struct Label {
    const char* text;
    int32_t x;
    int32_t y;
};
constexpr Label kLabels[] = {{"ALT", kLeftColumnX, 46},    {"TRIP", kLeftColumnX, 96},
                             {"ODO", kRightColumnX, 46},   {"TIME", kRightColumnX, 96},
                             {"SPEED", kLeftColumnX, 168}, {"TREND", kLeftColumnX, 178},
                             {"TEMP", kLeftColumnX, 203}};

// The compiled-in record with the Cluster's places, fonts, colours and shown gauges.
SkinRecord ClusterSkinRecord();

} // namespace cluster
