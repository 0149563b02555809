// Times StepBalls with 10 and 100 balls bouncing over 50 windows of other programs on a
// 1920 × 1080 screen. The window side does nothing, so the figures are the motion rules alone.
// Prints the median and the 90th percentile per tick; no assertions.
#include "balls/ball_list.h"
#include "balls/ball_motion.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

class FastRandom : public RandomSource {
  public:
    int32_t UpTo(int32_t n) override {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return n <= 0 ? 0 : int32_t((state_ >> 33) % uint64_t(n + 1));
    }

  private:
    uint64_t state_ = 12345;
};

class NullDesktop : public BallDesktop {
  public:
    explicit NullDesktop(BallWorld& world) : world_(world) {}
    bool CreateBallWindow(BallRecord&) override { return false; }
    void DestroyBallWindow(BallRecord& ball) override { RemoveBall(world_, &ball); }
    const std::vector<ScreenRect>& ObstacleWindows() override { return windows; }
    void BeginMoves(int) override {}
    void MoveBall(const BallRecord& ball) override { sink_ += ball.x ^ ball.y; }
    void EndMoves() override {}
    void DrawFrame(const BallRecord&, int frame) override { sink_ += frame; }

    std::vector<ScreenRect> windows;
    long long sink_ = 0;

  private:
    BallWorld& world_;
};

void Run(int ballCount, int windowCount, int ticks) {
    BallWorld world;
    SetVirtualScreen(world, 0, 0, 1920, 1080);
    FastRandom random;
    NullDesktop desktop(world);
    for (int i = 0; i < windowCount; ++i) {
        const int32_t left = random.UpTo(1700), top = random.UpTo(900);
        desktop.windows.push_back(
            {left, top, left + 120 + random.UpTo(400), top + 80 + random.UpTo(300)});
    }
    for (int i = 0; i < ballCount; ++i) {
        auto* ball = new BallRecord{};
        ball->x = random.UpTo(world.rightLimit);
        ball->y = random.UpTo(world.bottomLimit);
        ball->vx = 10 - random.UpTo(20);
        ball->vy = -20 - random.UpTo(10);
        LinkBallAtTail(world, ball);
    }
    std::vector<double> micros;
    micros.reserve(size_t(ticks));
    for (int tick = 0; tick < ticks; ++tick) {
        world.currentFrame = (world.currentFrame + 1) % kFrameCount;
        const auto start = std::chrono::steady_clock::now();
        StepBalls(world, random, desktop);
        const auto end = std::chrono::steady_clock::now();
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::sort(micros.begin(), micros.end());
    std::printf("StepBalls %3d balls, %d windows: median %8.2f us/tick, p90 %8.2f us/tick "
                "(%d ticks)\n",
                ballCount, windowCount, micros[micros.size() / 2], micros[micros.size() * 9 / 10],
                ticks);
    while (world.balls)
        RemoveBall(world, world.balls);
    if (desktop.sink_ == 42) std::printf(" \n");
}

} // namespace

int main() {
    Run(10, 50, 20000);
    Run(100, 50, 5000);
    return 0;
}
