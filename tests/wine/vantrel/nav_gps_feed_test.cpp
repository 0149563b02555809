// Attaching to the GPS server's section: with a section this test owns, and end to end with the
// GPS server stand-in from the ready folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "rig/rig.h"
#include "sources/gps_feed_win.h"

namespace {

uint8_t SharedClientCount() {
    std::vector<uint8_t> bytes = rig::ReadSharedMemory(kGpsSectionName, sizeof(GpsSnapshot));
    return bytes.size() == sizeof(GpsSnapshot) ? bytes[offsetof(GpsSnapshot, clientCount)] : 0xEE;
}

// Detaches at the end of a test whatever happened.
struct Feed {
    NavState nav;
    ~Feed() { CloseGpsFeed(nav); }
};

} // namespace

TEST(NavGpsFeed, WithoutTheServerStaysOnTheBuiltInRecordAndRetries) {
    Feed feed;
    NavState& nav = feed.nav;
    OpenGpsFeed(nav);
    EXPECT_FALSE(GpsFeedAttached(nav));
    EXPECT_EQ(nav.snapshot, &nav.builtInSnapshot);
    EXPECT_EQ(nav.snapshot->fixValid, 0);
    EXPECT_STREQ(GpsStatusWord(*nav.snapshot, GpsFeedAttached(nav)), "N/C");
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(nav.tripStart.year, now.wYear);

    // Every failed attempt stamps the trip start again.
    nav.tripStart = SystemTime16{};
    OpenGpsFeed(nav);
    EXPECT_EQ(nav.tripStart.year, now.wYear);

    // Sensor mode never attaches and leaves the trip start to the window start.
    rig::SharedMemory section(kGpsSectionName, sizeof(GpsSnapshot));
    ASSERT_TRUE(section.Valid());
    int sensorStandIn = 0;
    nav.sensor = &sensorStandIn;
    nav.tripStart = SystemTime16{};
    OpenGpsFeed(nav);
    EXPECT_FALSE(GpsFeedAttached(nav));
    EXPECT_EQ(nav.tripStart.year, 0);
    nav.sensor = nullptr;
}

TEST(NavGpsFeed, ReadersCountThemselvesInAndOut) {
    rig::SharedMemory section(kGpsSectionName, sizeof(GpsSnapshot));
    ASSERT_TRUE(section.Valid());
    auto* shared = reinterpret_cast<GpsSnapshot*>(section.Data());
    shared->fixValid = 1;
    shared->latitude = 47.25f;
    shared->serverStatus = 2;

    Feed a, b;
    OpenGpsFeed(a.nav);
    ASSERT_TRUE(GpsFeedAttached(a.nav));
    EXPECT_EQ(shared->clientCount, 1);
    EXPECT_EQ(a.nav.snapshot->latitude, 47.25f);
    EXPECT_STREQ(GpsStatusWord(*a.nav.snapshot, true), "2D Fix");
    OpenGpsFeed(a.nav); // attached: nothing more
    EXPECT_EQ(shared->clientCount, 1);
    OpenGpsFeed(b.nav);
    EXPECT_EQ(shared->clientCount, 2);

    // Each tick's reading shows what the server wrote last, with what no receiver can report
    // taken out; the server's record itself is never written but for the count.
    shared->latitude = 47.5f;
    ReadGpsFeed(b.nav);
    EXPECT_EQ(b.nav.snapshot->latitude, 47.5f);
    shared->latitude = std::numeric_limits<float>::quiet_NaN();
    shared->speedKnots = 1e38f;
    ReadGpsFeed(b.nav);
    EXPECT_EQ(b.nav.snapshot->latitude, 0.0f);
    EXPECT_EQ(b.nav.snapshot->fixValid, 0);
    EXPECT_EQ(b.nav.snapshot->speedKnots, 0.0f);
    EXPECT_TRUE(std::isnan(shared->latitude));
    EXPECT_EQ(shared->speedKnots, 1e38f);
    shared->latitude = 47.5f;

    CloseGpsFeed(a.nav);
    EXPECT_FALSE(GpsFeedAttached(a.nav));
    EXPECT_EQ(a.nav.snapshot, &a.nav.builtInSnapshot);
    EXPECT_EQ(shared->clientCount, 1);
    // A server that reset the count meanwhile: the last reader does not wrap it to 255.
    shared->clientCount = 0;
    CloseGpsFeed(b.nav);
    EXPECT_EQ(shared->clientCount, 0);
    CloseGpsFeed(b.nav); // a second close does nothing
    EXPECT_EQ(shared->clientCount, 0);
}

TEST(NavGpsFeed, AttachesToTheStandInServerEndToEnd) {
    rig::ProgramFolder folder;
    const std::string script = folder.File("drive.txt");
    const std::string text = "fix 47.5 122.25 10 90 120 4 9\n"
                             "hold 30\n"
                             "fix 47.501 122.25 12 0 121 4 9\n"
                             "nofix\n";
    ASSERT_TRUE(rig::WriteFileBytes(script, std::vector<uint8_t>(text.begin(), text.end())));

    Feed feed;
    OpenGpsFeed(feed.nav); // the server is not running yet
    ASSERT_FALSE(GpsFeedAttached(feed.nav));

    rig::Process server;
    ASSERT_TRUE(
        server.Start(folder.File("GpsServer.exe"), "/script \"" + script + "\" /interval 100"));
    HWND window = rig::WaitForWindow(kGpsServerWindowTitle, 10000, server.Id());
    ASSERT_NE(window, nullptr);

    // The next tick attaches, counting exactly one reader. The first record is published for
    // three seconds, long enough to be read however slowly this machine starts programs.
    OpenGpsFeed(feed.nav);
    ASSERT_TRUE(GpsFeedAttached(feed.nav));
    EXPECT_EQ(SharedClientCount(), 1);
    const GpsSnapshot& s = *feed.nav.snapshot;
    auto read = [&] {
        ReadGpsFeed(feed.nav);
        return true;
    };
    EXPECT_TRUE(
        rig::WaitUntil([&] { return read() && s.fixValid == 1 && s.latitude == 47.5f; }, 5000));
    EXPECT_STREQ(GpsStatusWord(s, true), "3D Fix");
    EXPECT_EQ(s.satsInView, 9);
    EXPECT_EQ(s.speedKnots, 10.0f);
    // A second server finds the section taken and leaves.
    rig::Process second;
    ASSERT_TRUE(second.Start(folder.File("GpsServer.exe")));
    ASSERT_TRUE(second.WaitForExit(10000));
    EXPECT_EQ(second.ExitCode(), 2u);
    EXPECT_EQ(SharedClientCount(), 1) << "the leaving server counted no reader";
    // The script runs on and ends with its lost fix, which stays published.
    EXPECT_TRUE(
        rig::WaitUntil([&] { return read() && s.fixValid == 0 && s.latitude == 47.501f; }, 10000));
    EXPECT_STREQ(GpsStatusWord(s, true), "No Fix");
    EXPECT_EQ(SharedClientCount(), 1) << "the server leaves the readers' count alone";

    // The server ends while the reader is attached: the last values stay readable.
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(server.WaitForExit(5000));
    EXPECT_EQ(server.ExitCode(), 0u) << "WM_CLOSE ends the stand-in cleanly";
    read();
    EXPECT_EQ(s.latitude, 47.501f);
    CloseGpsFeed(feed.nav);
    EXPECT_FALSE(GpsFeedAttached(feed.nav));
}

TEST(NavGpsFeed, StandInDrivesByItselfAndCountsReadersOut) {
    rig::ProgramFolder folder;
    rig::Process server;
    ASSERT_TRUE(server.Start(folder.File("GpsServer.exe"), "/interval 50"));
    HWND window = rig::WaitForWindow(kGpsServerWindowTitle, 10000, server.Id());
    ASSERT_NE(window, nullptr);
    Feed feed;
    OpenGpsFeed(feed.nav);
    ASSERT_TRUE(GpsFeedAttached(feed.nav));
    const GpsSnapshot& s = *feed.nav.snapshot;
    EXPECT_TRUE(rig::WaitUntil(
        [&] {
            ReadGpsFeed(feed.nav);
            return s.fixValid == 1 && s.speedKnots > 20.0f;
        },
        10000));
    EXPECT_GE(s.satsInView, 8);
    EXPECT_NEAR(s.latitude, 47.62f, 0.02f);
    CloseGpsFeed(feed.nav);
    EXPECT_EQ(SharedClientCount(), 0);
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(server.WaitForExit(5000));
    EXPECT_EQ(server.ExitCode(), 0u);
}

TEST(NavGpsFeed, StandInPublishesPlayedBackLines) {
    rig::ProgramFolder folder;
    const std::string record = folder.File("received.txt");
    rig::Process server;
    ASSERT_TRUE(
        server.Start(folder.File("GpsServer.exe"), "/interval 50 /record \"" + record + "\""));
    HWND window = rig::WaitForWindow(kGpsServerWindowTitle, 10000, server.Id());
    ASSERT_NE(window, nullptr);
    Feed feed;
    OpenGpsFeed(feed.nav);
    ASSERT_TRUE(GpsFeedAttached(feed.nav));

    auto send = [&](WPARAM wParam, ULONG_PTR kind, const std::string* line) {
        COPYDATASTRUCT data = {kind, 0, nullptr};
        if (line != nullptr) {
            data.cbData = static_cast<DWORD>(line->size() + 1);
            data.lpData = const_cast<char*>(line->c_str());
        }
        SendMessageA(window, WM_COPYDATA, wParam, reinterpret_cast<LPARAM>(&data));
    };
    const std::string rmc =
        "$GPRMC,094737,A,5251.0093,N,00518.8170,E,5.6,230.5,200818,1.4,E,A*1F\r\n";
    send(1, 1, nullptr);
    send(0, 2, &rmc);
    const GpsSnapshot& s = *feed.nav.snapshot;
    ReadGpsFeed(feed.nav);
    EXPECT_NEAR(s.latitude, 52.850155f, 1e-5);
    EXPECT_EQ(s.utcTime.year, 2018);
    // While the playback runs, the simulated drive stays off the record.
    Sleep(300);
    ReadGpsFeed(feed.nav);
    EXPECT_NEAR(s.latitude, 52.850155f, 1e-5);
    send(0, 0, nullptr);
    EXPECT_TRUE(rig::WaitUntil(
        [&] {
            ReadGpsFeed(feed.nav);
            return s.latitude > 47.0f && s.latitude < 48.0f;
        },
        5000));

    std::vector<uint8_t> bytes = rig::ReadFileBytes(record);
    std::string lines(bytes.begin(), bytes.end());
    EXPECT_EQ(lines.substr(0, 7), "1 1 0 \n");
    EXPECT_NE(lines.find("0 2 " + std::to_string(rmc.size() + 1) + " 244750524d43"),
              std::string::npos);
    EXPECT_EQ(lines.substr(lines.size() - 7), "0 0 0 \n");
}
