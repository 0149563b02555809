#include "zorbel/fake_desktop.h"

#include "balls/ball_lifecycle.h"
#include "balls/ball_list.h"

#include <stdexcept>

FakeDesktop::~FakeDesktop() = default;

bool FakeDesktop::CreateBallWindow(BallRecord& ball) {
    if (failCreate) return false;
    ++created;
    ball.window = reinterpret_cast<BallWindowHandle>(nextWindow_++);
    StartBall(world_, random_, ball);
    return true;
}

void FakeDesktop::DestroyBallWindow(BallRecord& ball) {
    destroyed.push_back(ball.window);
    if (!RemoveBall(world_, &ball))
        throw std::logic_error("destroyed a ball that is not in the list");
}

const std::vector<ScreenRect>& FakeDesktop::ObstacleWindows() {
    ++obstacleQueries;
    return windows;
}

void FakeDesktop::BeginMoves(int ballCount) {
    if (inBatch) throw std::logic_error("batch begun twice");
    inBatch = true;
    ++batchesBegun;
    batchSize = ballCount;
    moves.clear();
    blits.clear();
}

void FakeDesktop::MoveBall(const BallRecord& ball) {
    if (!inBatch) throw std::logic_error("move outside a batch");
    moves.push_back({ball.window, ball.x, ball.y});
}

void FakeDesktop::EndMoves() {
    if (!inBatch) throw std::logic_error("batch ended twice");
    inBatch = false;
    ++batchesEnded;
}

void FakeDesktop::DrawFrame(const BallRecord& ball, int frame) {
    blits.push_back({ball.window, frame});
}

BallWorld MakeWorld(int32_t width, int32_t height, int32_t left, int32_t top) {
    BallWorld world;
    SetVirtualScreen(world, left, top, width, height);
    return world;
}

BallRecord* PlaceBall(BallWorld& world, int32_t x, int32_t y, double vx, double vy) {
    static intptr_t nextWindow = 0x10000;
    auto* ball = new BallRecord{};
    ball->window = reinterpret_cast<BallWindowHandle>(nextWindow++);
    ball->x = x;
    ball->y = y;
    ball->vx = vx;
    ball->vy = vy;
    LinkBallAtTail(world, ball);
    return ball;
}

void ClearBalls(BallWorld& world) {
    while (world.balls)
        RemoveBall(world, world.balls);
}
