// A window system made of plain records: ball windows are counters, other programs' windows a
// list of rectangles, and every move, blit and destruction is recorded.
#pragma once

#include "balls/ball_desktop.h"
#include "balls/ball_world.h"
#include "balls/random_source.h"

#include <cstdint>
#include <vector>

class FakeDesktop : public BallDesktop {
  public:
    FakeDesktop(BallWorld& world, RandomSource& random) : world_(world), random_(random) {}
    ~FakeDesktop() override;

    bool CreateBallWindow(BallRecord& ball) override;
    void DestroyBallWindow(BallRecord& ball) override;
    const std::vector<ScreenRect>& ObstacleWindows() override;
    void BeginMoves(int ballCount) override;
    void MoveBall(const BallRecord& ball) override;
    void EndMoves() override;
    void DrawFrame(const BallRecord& ball, int frame) override;

    // Other programs' windows, topmost first.
    std::vector<ScreenRect> windows;
    // Makes window creation fail.
    bool failCreate = false;

    struct Move {
        BallWindowHandle window;
        int32_t x;
        int32_t y;
    };
    struct Blit {
        BallWindowHandle window;
        int frame;
    };
    // What happened in the last batch, and counts over all batches.
    std::vector<Move> moves;
    std::vector<Blit> blits;
    std::vector<BallWindowHandle> destroyed;
    int created = 0;
    int batchesBegun = 0;
    int batchesEnded = 0;
    int batchSize = -1;
    int obstacleQueries = 0;
    bool inBatch = false;

  private:
    BallWorld& world_;
    RandomSource& random_;
    intptr_t nextWindow_ = 0x100;
};

// A world of the given virtual-screen size at the given origin, without balls.
BallWorld MakeWorld(int32_t width = 1280, int32_t height = 1024, int32_t left = 0, int32_t top = 0);
// Links a living ball with a fake window at (x, y) moving at (vx, vy).
BallRecord* PlaceBall(BallWorld& world, int32_t x, int32_t y, double vx, double vy);
// Frees every ball left in the world.
void ClearBalls(BallWorld& world);
