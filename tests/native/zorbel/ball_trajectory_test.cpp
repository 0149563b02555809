// A recorded run of the whole toy: controller ticks with a seeded random source, four balls,
// three windows, a removal and collisions switched off half-way. Every rule's order of random
// draws shows in the trajectories, so a change in any of them shows here as the first line that
// differs from data/ball_trajectory.chk. After a deliberate change of the rules, regenerate the
// file with ZORBEL_REGENERATE_TRAJECTORY=1 and justify the new trajectories in the commit.
#include "balls/ball_lifecycle.h"
#include "balls/ball_list.h"
#include "balls/controller.h"
#include "zorbel/fake_desktop.h"
#include "zorbel/scripted_random.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string CheckFile() {
    std::string path = __FILE__;
    return path.substr(0, path.find_last_of('/')) + "/data/ball_trajectory.chk";
}

std::vector<std::string> RecordRun() {
    BallWorld world = MakeWorld(1280, 1024);
    SeededRandom random(20261207);
    FakeDesktop desktop(world, random);
    desktop.windows = {{300, 600, 700, 760}, {820, 420, 1100, 1024}, {0, 200, 260, 330}};
    for (int i = 0; i < 4; ++i)
        AddBall(world, desktop, AddLimit::Unlimited);

    std::vector<std::string> lines;
    char line[160];
    for (int tick = 1; tick <= 900; ++tick) {
        if (tick == 150) MarkLastBallForRemoval(world);
        if (tick == 600) RunMenuCommand(world, desktop, kCommandCollision);
        ControllerTick(world, random, desktop);
        if (tick % 10 != 0) continue;
        int index = 0;
        for (const BallRecord* ball = world.balls; ball; ball = ball->next, ++index) {
            std::snprintf(line, sizeof line, "%4d %2d %5d %5d %9.4f %9.4f %d", tick, index, ball->x,
                          ball->y, ball->vx, ball->vy, ball->dyingTicks);
            lines.push_back(line);
        }
    }
    ClearBalls(world);
    return lines;
}

TEST(BallTrajectory, MatchesTheRecordedRun) {
    const std::vector<std::string> run = RecordRun();
    if (std::getenv("ZORBEL_REGENERATE_TRAJECTORY")) {
        std::ofstream out(CheckFile());
        out << "# tick ball x y vx vy dyingTicks\n";
        for (const std::string& line : run)
            out << line << "\n";
        GTEST_SKIP() << "regenerated " << CheckFile();
    }
    std::ifstream in(CheckFile());
    ASSERT_TRUE(in) << "missing " << CheckFile();
    std::vector<std::string> recorded;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') recorded.push_back(line);
    for (size_t i = 0; i < std::min(run.size(), recorded.size()); ++i)
        ASSERT_EQ(run[i], recorded[i]) << "first difference at line " << i + 2;
    EXPECT_EQ(run.size(), recorded.size());
}

} // namespace
