#include "balls/ball_world.h"

void SetVirtualScreen(BallWorld& world, int32_t left, int32_t top, int32_t width, int32_t height) {
    world.screenLeft = left;
    world.screenTop = top;
    world.rightLimit = left + width - kBallWidth;
    world.bottomLimit = top + height - kBallHeight;
}
