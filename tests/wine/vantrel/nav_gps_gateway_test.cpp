// The GPS stand-in as a gateway, end to end: a real gpsd replaying a recorded boat trip, a serial
// receiver behind a pseudo-terminal mapped to a COM port, a TCP receiver played by this test,
// and a paced log file. What the cluster reads (its own feed attached to the stand-in's section)
// must follow the source; noise must change nothing; silence must cost the fix; a source that
// comes back must be picked up again without restarting anything.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "rig/rig.h"
#include "sources/gps_feed_win.h"
#include "tools/gps_server/nmea_writer.h"

namespace {

constexpr const char kVantrelTitle[] = "Brevanti - Vantrel";
// Silence (3 s) and a poll or two, with room for a loaded machine.
constexpr DWORD kFixLostWithinMs = 6000;

std::string Text(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// The Linux path of a Windows one, from Wine itself.
std::string UnixPath(const std::string& windowsPath) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    // Wine's own export, declared CDECL there; through void* as GetProcAddress types it wrongly.
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (toUnix == nullptr) return "";
    std::wstring wide(windowsPath.begin(), windowsPath.end());
    char* unix = toUnix(wide.c_str());
    if (unix == nullptr) return "";
    std::string path = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return path;
}

// The Linux peers of tests/wine/vantrel/gps_gateway_peers.sh, in a folder of the test's own;
// whatever they started is ended when this goes away.
class UnixPeers {
  public:
    explicit UnixPeers(const rig::ProgramFolder& folder)
        : folder_(folder), state_(UnixPath(folder.File("peers"))) {}
    ~UnixPeers() {
        for (const char* name : {"gpsd", "pty"})
            Run({"stop", state_, name});
        for (const std::string& link : links_)
            Run({"unlink", link});
    }
    UnixPeers(const UnixPeers&) = delete;
    UnixPeers& operator=(const UnixPeers&) = delete;

    const std::string& State() const { return state_; }

    // A symbolic link that goes when this does (a COM port in the Wine prefix).
    bool Link(const std::string& name, const std::string& target) {
        links_.push_back(name);
        return Run({"link", name, target});
    }

    // Runs one command of the script and waits for its result.
    bool Run(const std::vector<std::string>& arguments) {
        const std::string done = folder_.File("peer-done-" + std::to_string(++runs_));
        std::string line =
            "/bin/bash \"" +
            UnixPath(rig::SourceDir() + "\\tests\\wine\\vantrel\\gps_gateway_peers.sh") + "\" \"" +
            UnixPath(done) + "\"";
        for (const std::string& argument : arguments)
            line += " \"" + argument + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        std::vector<char> command(line.begin(), line.end());
        command.push_back('\0');
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &started))
            return false;
        // Wine starts a Linux program without a process handle: the script's file says when.
        if (started.hProcess != nullptr) CloseHandle(started.hProcess);
        if (started.hThread != nullptr) CloseHandle(started.hThread);
        if (!rig::WaitUntil([&] { return rig::FileExists(done); }, 20000)) return false;
        return Text(rig::ReadFileBytes(done)).substr(0, 2) == "ok";
    }

  private:
    const rig::ProgramFolder& folder_;
    std::string state_;
    std::vector<std::string> links_;
    int runs_ = 0;
};

// The cluster's own feed, attached to the stand-in's section as the cluster attaches.
struct ClusterFeed {
    NavState nav;
    ~ClusterFeed() { CloseGpsFeed(nav); }
    bool Attach() {
        return rig::WaitUntil(
            [&] {
                OpenGpsFeed(nav);
                return GpsFeedAttached(nav);
            },
            10000);
    }
    // What the stand-in wrote, as it stands in the shared section.
    const GpsSnapshot& Record() const { return *nav.gpsView; }
};

struct StandIn {
    rig::Process process;
    bool Start(const rig::ProgramFolder& folder, const std::string& arguments) {
        return process.Start(folder.File("GpsServer.exe"), arguments) &&
               rig::WaitForWindow(kGpsServerWindowTitle, 10000, process.Id()) != nullptr;
    }
};

// A free TCP port on the loopback, for a peer to listen on.
uint16_t FreeLoopbackPort() {
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    uint16_t port = 0;
    if (bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    closesocket(probe);
    return port;
}

struct Winsock {
    Winsock() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~Winsock() { WSACleanup(); }
};

// One second of a receiver at `latitude`, as the stand-in's own writer sends it.
std::string SecondAt(float latitude, float knots, uint16_t second) {
    GpsSnapshot record{};
    record.fixValid = 1;
    record.serverStatus = 3;
    record.utcTime = {2024, 5, 3, 10, 12, 30, second, 0};
    record.latitude = latitude;
    record.longitude = 122.25f;
    record.speedKnots = knots;
    record.course = 90.0f;
    record.altitude = 12.0f;
    record.satsInView = 2;
    record.satellites[0] = {7, 40, 120, 38};
    record.satellites[1] = {9, 20, 240, 31};
    return NmeaSentencesOf(record);
}

// What a broken receiver sends: binary noise, a line that never ends, an overlong line and one
// with a bad checksum, each hiding a sentence at another position.
std::vector<std::string> Noise() {
    std::mt19937 random(7);
    std::string binary(3000, '\0');
    for (char& c : binary) {
        c = static_cast<char>(random());
        if (c == '\n') c = 'x';
    }
    const std::string elsewhere =
        WithChecksum("GPRMC,101230,A,1000.000,N,01000.000,E,50.0,10.0,030524,,,A"); // 10 N, 10 E
    std::string badChecksum = elsewhere;
    badChecksum[badChecksum.size() - 3] ^= 1;
    return {binary + "\n", std::string(400, 'Z') + elsewhere, badChecksum,
            std::string(100000, '$') + "\n"};
}

bool Near(float a, float b) {
    return std::fabs(a - b) < 1e-4f;
}

} // namespace

TEST(NavGpsGateway, FollowsARealGpsdAndPicksItUpAgainAfterItStops) {
    if (!rig::UnderWine()) GTEST_SKIP() << "gpsd runs beside Wine, on Linux";
    Winsock winsock;
    rig::ProgramFolder folder;
    UnixPeers peers(folder);
    const uint16_t free = FreeLoopbackPort();
    ASSERT_NE(free, 0);
    const std::string port = std::to_string(free);
    const std::string log = rig::SourceDir() + "\\tests\\data\\gps-logs\\bundg_zeus_9.log";
    ASSERT_TRUE(peers.Run({"gpsd", peers.State(), port, UnixPath(log)})) << "gpsfake did not start";

    // The positions and speeds gpsd reported for this log, as the reference decoder saw them.
    std::set<float> latitudes, longitudes;
    std::vector<float> knots;
    {
        const std::string check = Text(rig::ReadFileBytes(log + ".chk"));
        size_t at = 0;
        while ((at = check.find("{\"class\":\"TPV\"", at)) != std::string::npos) {
            const size_t end = check.find('\n', at);
            const std::string tpv = check.substr(at, end - at);
            at = end;
            // Read as double and rounded to float once, as a JSON reader and the record do.
            auto number = [&](const char* name, double& value) {
                const size_t field = tpv.find(std::string("\"") + name + "\":");
                if (field == std::string::npos) return false;
                value = std::strtod(tpv.c_str() + field + std::strlen(name) + 3, nullptr);
                return true;
            };
            double latitude = 0, longitude = 0, speed = 0;
            if (number("lat", latitude) && number("lon", longitude)) {
                latitudes.insert(static_cast<float>(latitude));
                // The record's longitudes are west-positive.
                longitudes.insert(static_cast<float>(-longitude));
            }
            if (number("speed", speed))
                knots.push_back(static_cast<float>(speed * 3600.0 / 1852.0));
        }
    }
    ASSERT_GT(latitudes.size(), 50u);

    StandIn server;
    ASSERT_TRUE(server.Start(folder, "/gpsd 127.0.0.1:" + port));
    // The real cluster, attached alongside this test's feed.
    ASSERT_TRUE(CreateDirectoryA(folder.File("Bare").c_str(), nullptr));
    rig::Process vantrel;
    ASSERT_TRUE(vantrel.Start(folder.File("Vantrel.exe"), "Bare"));
    ASSERT_NE(rig::WaitForWindow(kVantrelTitle, 10000, vantrel.Id()), nullptr);
    ClusterFeed feed;
    ASSERT_TRUE(feed.Attach());
    const GpsSnapshot& s = feed.Record();
    EXPECT_TRUE(rig::WaitUntil([&] { return s.clientCount == 2; }, 5000))
        << "the cluster and this test both read the stand-in";

    // Position, speed, depth and satellites follow the log, fix after fix.
    auto following = [&] {
        std::set<float> seen;
        int strangers = 0;
        bool speedMatched = false, satellites = false;
        rig::WaitUntil(
            [&] {
                if (s.fixValid == 1) {
                    if (latitudes.count(s.latitude) == 0 || longitudes.count(s.longitude) == 0)
                        ++strangers;
                    seen.insert(s.latitude);
                    for (float k : knots)
                        speedMatched =
                            speedMatched || (s.speedKnots > 1.0f && Near(s.speedKnots, k));
                    satellites = satellites || (s.satsInView >= 4 && s.satellites[0].id != 0 &&
                                                s.satellites[0].snr != 0);
                }
                return seen.size() >= 3 && speedMatched && satellites;
            },
            15000);
        EXPECT_EQ(strangers, 0) << "positions the log does not hold";
        EXPECT_GE(seen.size(), 3u);
        EXPECT_TRUE(speedMatched) << s.speedKnots;
        EXPECT_TRUE(satellites) << int(s.satsInView);
        EXPECT_STREQ(GpsStatusWord(s, true), "3D Fix");
        EXPECT_GT(s.depthMeters, 1.0f);
        EXPECT_NEAR(s.depthFeet, s.depthMeters / 0.3048f, 0.01f);
        EXPECT_EQ(s.utcTime.year, 2018);
    };
    following();

    // gpsd stops: within seconds the fix is gone, the last position stays.
    ASSERT_TRUE(peers.Run({"stop", peers.State(), "gpsd"}));
    EXPECT_TRUE(rig::WaitUntil([&] { return s.fixValid == 0; }, kFixLostWithinMs));
    EXPECT_STREQ(GpsStatusWord(s, true), "No Fix");
    EXPECT_EQ(latitudes.count(s.latitude), 1u);

    // gpsd comes back on the same port: the stand-in reconnects by itself.
    ASSERT_TRUE(peers.Run({"gpsd", peers.State(), port, UnixPath(log)}));
    EXPECT_TRUE(rig::WaitUntil([&] { return s.fixValid == 1; }, 12000));
    following();
    EXPECT_TRUE(server.process.Running());
    EXPECT_TRUE(vantrel.Running());
}

TEST(NavGpsGateway, SerialReceiverOnAPseudoTerminalComesAndGoes) {
    if (!rig::UnderWine()) GTEST_SKIP() << "the serial receiver is a Linux pseudo-terminal";
    char prefix[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix), 0u);
    rig::ProgramFolder folder;
    UnixPeers peers(folder);
    // COM41 is the receiver's end, where the stand-in reads; COM42 the end this test writes to.
    const std::string receiver = peers.State() + "/receiver", feedEnd = peers.State() + "/feed";
    ASSERT_TRUE(peers.Run({"pty", peers.State(), receiver, feedEnd}));
    ASSERT_TRUE(peers.Link(std::string(prefix) + "/dosdevices/com41", receiver));
    ASSERT_TRUE(peers.Link(std::string(prefix) + "/dosdevices/com42", feedEnd));

    struct Port {
        HANDLE handle = INVALID_HANDLE_VALUE;
        ~Port() { Close(); }
        void Close() {
            if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
            handle = INVALID_HANDLE_VALUE;
        }
        bool Open() {
            Close();
            handle = CreateFileA("\\\\.\\COM42", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
            return handle != INVALID_HANDLE_VALUE;
        }
        bool Write(const std::string& bytes) {
            DWORD written = 0;
            return WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                             nullptr) &&
                   written == bytes.size();
        }
    } port;
    ASSERT_TRUE(port.Open());

    StandIn server;
    ASSERT_TRUE(server.Start(folder, "/serial COM41 9600"));
    ClusterFeed feed;
    ASSERT_TRUE(feed.Attach());
    const GpsSnapshot& s = feed.Record();
    EXPECT_EQ(s.fixValid, 0) << "nothing received yet";

    // Sentences in, gauges moving; until the port is open they are written again.
    uint16_t second = 0;
    auto sendUntilShown = [&](float latitude) {
        return rig::WaitUntil(
            [&] {
                port.Write(SecondAt(latitude, 12.5f, second++ % 60));
                Sleep(100);
                return s.fixValid == 1 && s.latitude == latitude;
            },
            10000);
    };
    ASSERT_TRUE(sendUntilShown(47.25f));
    EXPECT_FLOAT_EQ(s.speedKnots, 12.5f);
    EXPECT_EQ(s.satsInView, 2);
    EXPECT_EQ(s.satellites[1].id, 9);
    ASSERT_TRUE(sendUntilShown(47.5f));

    // Noise changes nothing and ends nothing.
    for (const std::string& bytes : Noise())
        EXPECT_TRUE(port.Write(bytes));
    Sleep(500);
    EXPECT_EQ(s.latitude, 47.5f);
    EXPECT_TRUE(server.process.Running());

    // Silence: the fix goes.
    EXPECT_TRUE(rig::WaitUntil([&] { return s.fixValid == 0; }, kFixLostWithinMs));
    EXPECT_EQ(s.latitude, 47.5f);

    // The device goes away and comes back as a new pseudo-terminal behind the same name.
    port.Close();
    ASSERT_TRUE(peers.Run({"stop", peers.State(), "pty"}));
    Sleep(1000);
    EXPECT_TRUE(server.process.Running());
    ASSERT_TRUE(peers.Run({"pty", peers.State(), receiver, feedEnd}));
    ASSERT_TRUE(port.Open());
    EXPECT_TRUE(sendUntilShown(47.75f));
}

TEST(NavGpsGateway, TcpReceiverIsReadAndReconnected) {
    Winsock winsock;
    // The receiver: a loopback server of this test's own.
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_NE(listener, INVALID_SOCKET);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    u_long nonBlocking = 1;
    ioctlsocket(listener, FIONBIO, &nonBlocking);
    SOCKET client = INVALID_SOCKET;
    auto accepted = [&] {
        return rig::WaitUntil(
            [&] {
                client = accept(listener, nullptr, nullptr);
                if (client == INVALID_SOCKET) return false;
                u_long blocking = 0; // sends wait for the stand-in to read
                ioctlsocket(client, FIONBIO, &blocking);
                return true;
            },
            5000);
    };
    auto sendText = [&](const std::string& text) {
        return send(client, text.data(), static_cast<int>(text.size()), 0) ==
               static_cast<int>(text.size());
    };

    rig::ProgramFolder folder;
    StandIn server;
    ASSERT_TRUE(server.Start(folder, "/tcp 127.0.0.1 " + std::to_string(ntohs(address.sin_port))));
    ClusterFeed feed;
    ASSERT_TRUE(feed.Attach());
    const GpsSnapshot& s = feed.Record();
    ASSERT_TRUE(accepted());

    // Sentences cut at odd places, as a network cuts them.
    const std::string second = SecondAt(-33.5f, 3.5f, 1);
    ASSERT_TRUE(sendText(second.substr(0, 37)));
    Sleep(100);
    ASSERT_TRUE(sendText(second.substr(37)));
    EXPECT_TRUE(rig::WaitUntil([&] { return s.fixValid == 1 && s.latitude == -33.5f; }, 3000));
    EXPECT_FLOAT_EQ(s.speedKnots, 3.5f);

    for (const std::string& bytes : Noise())
        EXPECT_TRUE(sendText(bytes));
    Sleep(500);
    EXPECT_EQ(s.latitude, -33.5f);
    EXPECT_TRUE(server.process.Running());
    EXPECT_TRUE(rig::WaitUntil([&] { return s.fixValid == 0; }, kFixLostWithinMs));

    // The receiver hangs up: the stand-in calls again, and the fix comes back.
    closesocket(client);
    ASSERT_TRUE(accepted());
    ASSERT_TRUE(sendText(SecondAt(-33.75f, 4.0f, 2)));
    EXPECT_TRUE(rig::WaitUntil([&] { return s.fixValid == 1 && s.latitude == -33.75f; }, 3000));
    closesocket(client);
    closesocket(listener);
}

TEST(NavGpsGateway, LogFileIsPacedByItsTimesAndBadOptionsAreRefused) {
    rig::ProgramFolder folder;
    // Three fixes a second apart, then a gap of two seconds.
    const std::string log = folder.File("receiver.nmea");
    const std::string text = "# a receiver's log\r\n" + SecondAt(40.25f, 1.0f, 10) +
                             SecondAt(40.5f, 1.0f, 11) + SecondAt(40.75f, 1.0f, 13);
    ASSERT_TRUE(rig::WriteFileBytes(log, std::vector<uint8_t>(text.begin(), text.end())));
    StandIn server;
    ASSERT_TRUE(server.Start(folder, "/nmea \"" + log + "\" /loop"));
    ClusterFeed feed;
    ASSERT_TRUE(feed.Attach());
    const GpsSnapshot& s = feed.Record();
    // Timed from the second fix: the first may have come before this test attached.
    ASSERT_TRUE(rig::WaitUntil([&] { return s.latitude == 40.5f; }, 3000));
    const DWORD start = GetTickCount();
    ASSERT_TRUE(rig::WaitUntil([&] { return s.latitude == 40.75f; }, 4000));
    const DWORD third = GetTickCount() - start;
    // Looping: after a pause, from the top.
    ASSERT_TRUE(rig::WaitUntil([&] { return s.latitude == 40.25f; }, 4000));
    const DWORD again = GetTickCount() - start;
    EXPECT_NEAR(third, 2000, 250);
    EXPECT_NEAR(again, 3000, 250);
    EXPECT_EQ(s.fixValid, 1);

    const struct {
        const char* arguments;
        DWORD exitCode;
    } runs[] = {
        {"--help", 0},
        {"/serial", 1},
        {"/serial COM0", 1},
        {"/serial COM3 fast", 1},
        {"/tcp localhost", 1},
        {"/tcp localhost 70000", 1},
        {"/gpsd localhost:0", 1},
        {"/gpsd /tcp localhost 10110", 1}, // one source at a time
        {"/nmea missing.nmea", 3},
        {"/nmea receiver.nmea /script receiver.nmea", 1},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.arguments);
        rig::Process other;
        ASSERT_TRUE(other.Start(folder.File("GpsServer.exe"), run.arguments));
        ASSERT_TRUE(other.WaitForExit(10000));
        EXPECT_EQ(other.ExitCode(), run.exitCode);
    }
    EXPECT_EQ(s.latitude == 40.25f || s.latitude == 40.5f || s.latitude == 40.75f, true)
        << "the running stand-in keeps its section";
}
