// Log playback end to end: the cluster's playback, run tick by tick in this process, sends real
// receivers' logs to the GPS server stand-in from the ready folder, and the stand-in's shared
// record follows them.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "rig/rig.h"
#include "shell/log_playback_win.h"
#include "shell/program_win.h"
#include "sources/playback.h"
#include "state/app_state.h"
#include "state/nav_state.h"
#include "state/trail_ring.h"
#include "tools/gps_server/receiver_stream.h"

namespace {

// A log under tests/data.
std::string LogPath(const std::string& name) {
    return rig::SourceDir() + "\\tests\\data\\" + name;
}

GpsSnapshot SharedRecord() {
    GpsSnapshot record{};
    std::vector<uint8_t> bytes = rig::ReadSharedMemory(kGpsSectionName, sizeof record);
    if (bytes.size() == sizeof record) std::memcpy(&record, bytes.data(), sizeof record);
    return record;
}

// Everything but the readers' count, which belongs to the readers.
bool SameRecord(GpsSnapshot a, GpsSnapshot b) {
    a.clientCount = b.clientCount = 0;
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool OnTheSimulatedDrive(const GpsSnapshot& r) {
    return r.latitude > 47.5f && r.latitude < 47.75f;
}

// The stand-in from a private ready folder, with every message it receives written down.
struct StandIn {
    rig::ProgramFolder folder;
    rig::Process process;
    std::string received = folder.File("received.txt");

    bool Start() {
        return process.Start(folder.File("GpsServer.exe"),
                             "/interval 50 /record \"" + received + "\"") &&
               rig::WaitForWindow(kGpsServerWindowTitle, 10000, process.Id()) != nullptr &&
               rig::WaitUntil([] { return OnTheSimulatedDrive(SharedRecord()); }, 5000);
    }
    std::string Received() const {
        std::vector<uint8_t> bytes = rig::ReadFileBytes(received);
        return std::string(bytes.begin(), bytes.end());
    }
};

} // namespace

TEST(NavPlayback, RealLogsPlayThroughTheStandInTickByTick) {
    StandIn server;
    ASSERT_TRUE(server.Start());
    AppState& app = App();
    app.playSpeed = 1;
    const struct {
        const char* log;
        float latitude; // where the receiver was
        int fixes;      // at least this many different positions on the way
    } logs[] = {
        {"gps-logs\\haicom-305N.log", -27.21f, 30},
        // Binary packets, cut as text (the comment header puts the first one past offset 200):
        // zero bytes and line-end bytes inside the packets must arrive as they are.
        {"gps-logs\\sirf2.log", 37.29f, 100},
        // The project's demo drive, written by the stand-in itself.
        {"demo\\DemoDrive.gps", 47.6205f, 150},
    };
    for (const auto& log : logs) {
        SCOPED_TRACE(log.log);
        // The demo drive ends where the simulated one is; the others end far from it.
        const bool farFromTheDrive = std::fabs(log.latitude - 47.62f) > 1.0f;
        TrailRing& trail = Nav().trail;
        AppendTrailPoint(trail, {47.6f, 122.3f});
        ASSERT_TRUE(StartPlayback(LogPath(log.log).c_str()));
        EXPECT_EQ(trail.points[(trail.index + kTrailPoints - 1) % kTrailPoints].latitude, 0.0f)
            << "the replayed track starts after a break";
        EXPECT_TRUE(PlaybackPlaying());
        EXPECT_EQ(SharedRecord().fixValid, 0) << "the start message clears the fix";

        // The same records decoded here: after every tick the shared record must be this one.
        std::vector<uint8_t> bytes = rig::ReadFileBytes(LogPath(log.log));
        ReceiverStream mirror;
        size_t cursor = 0;
        const bool binary = IsBinaryLog(bytes.data(), bytes.size());
        int ticks = 0, records = 0, fixes = 0, mismatches = 0;
        float lastLatitude = 0.0f;
        while (PlaybackPlaying()) {
            PlaybackFrameStep(app);
            for (int i = 0; i < 2 && cursor < bytes.size(); ++i) {
                PlaybackRecord record;
                CutRecord(bytes.data(), bytes.size(), cursor, binary, record);
                FeedReceiverBytes(mirror, record.bytes, record.length);
                ++records;
            }
            ++ticks;
            if (!PlaybackPlaying()) break; // the end message has handed back to the drive
            const GpsSnapshot shared = SharedRecord();
            if (!SameRecord(shared, mirror.state.record)) ++mismatches;
            if (shared.fixValid && shared.latitude != lastLatitude) ++fixes;
            lastLatitude = shared.latitude;
        }
        EXPECT_EQ(mismatches, 0);
        EXPECT_GE(fixes, log.fixes);
        EXPECT_NEAR(lastLatitude, log.latitude, 0.02f);
        EXPECT_EQ(cursor, bytes.size());
        EXPECT_EQ(ticks, (records + 1) / 2) << "two records a tick at play speed 1";
        if (farFromTheDrive) {
            EXPECT_TRUE(rig::WaitUntil([] { return OnTheSimulatedDrive(SharedRecord()); }, 5000))
                << "the end message returns the stand-in to its drive";
        }
    }
    const std::string received = server.Received();
    EXPECT_EQ(received.substr(0, 7), "1 1 0 \n");
    EXPECT_EQ(received.substr(received.size() - 7), "0 0 0 \n");
}

TEST(NavPlayback, StopEndsEarlyAndFilesThatDoNotPlayChangeNothing) {
    StandIn server;
    ASSERT_TRUE(server.Start());
    AppState& app = App();
    app.playSpeed = 5;

    // "Stop" part way: the stand-in goes back to its drive.
    ASSERT_TRUE(StartPlayback(LogPath("gps-logs\\bundg_zeus_9.log").c_str()));
    for (int tick = 0; tick < 100; ++tick)
        PlaybackFrameStep(app);
    EXPECT_NEAR(SharedRecord().latitude, 52.85f, 0.01f);
    EXPECT_GT(PlaybackProgressPosition(), 0u);
    EXPECT_LT(PlaybackProgressPosition(), PlaybackProgressMaximum());
    StopPlayback();
    EXPECT_FALSE(PlaybackPlaying());
    EXPECT_TRUE(rig::WaitUntil([] { return OnTheSimulatedDrive(SharedRecord()); }, 5000));
    const size_t messages = server.Received().size();

    // A missing file and a 9-byte one: not a message, and the drive goes on.
    const std::string nine = server.folder.File("nine.gps");
    ASSERT_TRUE(rig::WriteFileBytes(nine, std::vector<uint8_t>(9, '$')));
    for (const std::string& path : {server.folder.File("missing.gps"), nine}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(StartPlayback(path.c_str()));
        EXPECT_FALSE(PlaybackPlaying());
        PlaybackFrameStep(app);
        Sleep(200);
        EXPECT_EQ(server.Received().size(), messages);
        EXPECT_TRUE(OnTheSimulatedDrive(SharedRecord()));
    }

    // Random bytes play to their end without giving the stand-in a fix.
    const std::string noise = server.folder.File("noise.gps");
    std::mt19937 random(12);
    std::vector<uint8_t> bytes(20000);
    for (uint8_t& b : bytes)
        b = static_cast<uint8_t>(random());
    ASSERT_TRUE(rig::WriteFileBytes(noise, bytes));
    ASSERT_TRUE(StartPlayback(noise.c_str()));
    int ticks = 0;
    while (PlaybackPlaying() && ticks < 10000) {
        PlaybackFrameStep(app);
        const GpsSnapshot shared = SharedRecord();
        if (PlaybackPlaying()) {
            ASSERT_EQ(shared.fixValid, 0) << "tick " << ticks;
            ASSERT_EQ(shared.latitude, 0.0f) << "tick " << ticks;
        }
        ++ticks;
    }
    EXPECT_FALSE(PlaybackPlaying());
    EXPECT_TRUE(rig::WaitUntil([] { return OnTheSimulatedDrive(SharedRecord()); }, 5000));
}
