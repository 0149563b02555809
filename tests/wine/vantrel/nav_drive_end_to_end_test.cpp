// End to end: the real Vantrel.exe driven through its peers' shared memories, then closed; what it
// leaves behind ("Trails.dat", the trip log line, the registry values) is checked against a
// drive whose distance the test works out itself. Once with peers that publish garbage between
// good values (the test owns both sections), once with the GPS server stand-in and a script.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "rig/rig.h"
#include "sources/course_hold.h"
#include "sources/great_circle.h"
#include "sources/obd_snapshot.h"
#include "state/gps_snapshot.h"
#include "state/skin_record.h"
#include "state/trail_ring.h"
#include "trip/trip_log.h"

namespace {

constexpr const char kTitle[] = "Brevanti - Vantrel";
constexpr const char kSettingsKey[] = "Software\\Brevanti\\Vantrel";
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
const GeoPoint kStart{47.6f, 122.3f};
constexpr uint16_t kRange = 100;

// Degrees of latitude for `miles` statute miles along a meridian, by the program's constants.
double LatitudeDegrees(double miles) {
    return miles / kStatuteMilesPerNauticalMile / kNauticalMilesPerRadian / kDegreesToRadians;
}

// Along a meridian the central angle is the difference of the latitudes: the distance needs no
// law of cosines.
double MeridianMiles(const GeoPoint& a, const GeoPoint& b) {
    const double k = kDegreesToRadians;
    const double phi1 = static_cast<float>(a.latitude * k);
    const double phi2 = static_cast<float>(b.latitude * k);
    return std::fabs(phi2 - phi1) * kNauticalMilesPerRadian * kStatuteMilesPerNauticalMile;
}

// A speedometer dial alone at the top left, away from the other kinds, so its picture is the
// needle's; the others show the hostile values in every way they are drawn.
SkinRecord DriveSkin() {
    SkinRecord skin = DefaultSkinRecord();
    skin.opacity = 255;
    skin.shownMask[0] = skin.shownMask[1] = 0;
    KindRecord(skin, kKindVantrel).x = 200; // frame: 100 + 2 x 200 by 100 + 2 x 150
    KindRecord(skin, kKindVantrel).y = 150;
    auto place = [&](int kind, uint16_t x, uint16_t y) {
        SetKindShown(skin, kind, true);
        KindRecord(skin, kind).x = x;
        KindRecord(skin, kind).y = y;
    };
    place(kKindSpeedometer, 10, 10);
    GaugeRecord& speedometer = KindRecord(skin, kKindSpeedometer);
    speedometer.paramA = kRange;
    speedometer.paramB = 180; // size
    speedometer.paramD = 0;   // dial
    place(kKindObd2Speedometer, 250, 230);
    KindRecord(skin, kKindObd2Speedometer).paramA = kRange;
    KindRecord(skin, kKindObd2Speedometer).paramB = 120;
    KindRecord(skin, kKindObd2Speedometer).paramD = 0;
    place(kKindDepthGauge, 380, 230);
    KindRecord(skin, kKindDepthGauge).paramA = kRange;
    KindRecord(skin, kKindDepthGauge).paramB = 100;
    KindRecord(skin, kKindDepthGauge).paramD = 0;
    const int texts[] = {kKindLatitude, kKindLongitude, kKindAltitude, kKindTrip,
                         kKindOdometer, kKindDistHome,  kKindKnots,    kKindObd2Volts};
    for (int i = 0; i < 8; ++i)
        place(texts[i], 10, uint16_t(200 + 24 * i));
    place(kKindSignal, 250, 10);
    // The circular view (satellites and trail) around (400, 110).
    place(kKindSatellites, 400, 110);
    place(kKindTrails, 0, 0);
    KindRecord(skin, kKindTrails).paramB = 160;
    return skin;
}

const RECT kSpeedometerArea{10, 10, 190, 190};

uint64_t AreaHash(const rig::Pixels& pixels, const RECT& area) {
    uint64_t hash = 1469598103934665603ull;
    for (int y = area.top; y < area.bottom && y < pixels.height; ++y)
        for (int x = area.left; x < area.right && x < pixels.width; ++x)
            hash = (hash ^ pixels.At(x, y)) * 1099511628211ull;
    return hash;
}

GpsSnapshot Fix(const GeoPoint& at, float knots, uint16_t second) {
    GpsSnapshot s{};
    s.fixValid = 1;
    SYSTEMTIME now;
    GetSystemTime(&now);
    s.utcTime = SystemTime16{now.wYear, now.wMonth,  now.wDayOfWeek,        now.wDay,
                             now.wHour, now.wMinute, uint16_t(second % 60), 0};
    s.latitude = at.latitude;
    s.longitude = at.longitude;
    s.altitude = 50.0f;
    s.speedKnots = knots;
    s.course = 0.0f;
    s.depthFeet = 30.0f;
    s.depthMeters = 9.0f;
    s.serverStatus = 3;
    s.satsInView = 4;
    for (int i = 0; i < 4; ++i)
        s.satellites[i] = SatelliteEntry{uint16_t(5 + i), 40, uint16_t(90 * i), 35};
    return s;
}

// What a broken server publishes: every float the poison, counts at their top, impossible
// satellites, status and time.
GpsSnapshot HostileFix(float poison) {
    GpsSnapshot s{};
    std::memset(static_cast<void*>(&s), 0xFF, sizeof s);
    s.fixValid = 1;
    for (float* f : {&s.latitude, &s.longitude, &s.altitude, &s.geoidSeparation, &s.pdop, &s.hdop,
                     &s.vdop, &s.speedKnots, &s.course, &s.depthFeet, &s.depthMeters})
        *f = poison;
    s.utcTime.second = 200;
    return s;
}

// Publishes around clientCount, which belongs to the readers.
void Publish(uint8_t* section, const GpsSnapshot& next) {
    const auto* from = reinterpret_cast<const uint8_t*>(&next);
    constexpr size_t count = offsetof(GpsSnapshot, clientCount);
    std::memcpy(section, from, count);
    std::memcpy(section + count + 1, from + count + 1, sizeof next - count - 1);
}

std::string FileText(const std::string& path) {
    const std::vector<uint8_t> bytes = rig::ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

float StoredFloat(const char* name) {
    const rig::RegistryValue v = rig::ReadRegistryValue(HKEY_CURRENT_USER, kSettingsKey, name);
    float f = kNaN;
    if (v.found && v.data.size() == sizeof f) std::memcpy(&f, v.data.data(), sizeof f);
    return f;
}

GeoPoint StoredPoint(const char* name) {
    const rig::RegistryValue v = rig::ReadRegistryValue(HKEY_CURRENT_USER, kSettingsKey, name);
    GeoPoint p{kNaN, kNaN};
    if (v.found && v.data.size() == sizeof p) std::memcpy(&p, v.data.data(), sizeof p);
    return p;
}

SkinRecord StoredSkin() {
    const rig::RegistryValue v = rig::ReadRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Skin2");
    SkinRecord skin{};
    if (v.found && v.data.size() == sizeof skin) std::memcpy(&skin, v.data.data(), sizeof skin);
    return skin;
}

bool OnTheGlobe(const GeoPoint& p) {
    return std::fabs(p.latitude) <= 90.0f && std::fabs(p.longitude) <= 180.0f;
}

// The trail's points newest last, without its breaks, as the file holds them.
std::vector<GeoPoint> TrailPoints(const std::vector<uint8_t>& file) {
    std::vector<GeoPoint> points;
    TrailRing ring;
    if (file.size() != sizeof ring) return points;
    std::memcpy(&ring, file.data(), sizeof ring);
    for (uint32_t i = 0; i < kTrailPoints; ++i) {
        const GeoPoint& p = ring.points[(ring.index + i) % kTrailPoints];
        if (p.latitude != 0.0f) points.push_back(p);
    }
    return points;
}

// The distance field of the trip log's last line, or "" without one.
std::string LastTripDistance(const std::string& log) {
    if (log.size() < 2 || log.compare(log.size() - 2, 2, "\r\n") != 0) return "";
    const size_t start = log.rfind("\r\n", log.size() - 3);
    const std::string line = log.substr(start == std::string::npos ? 0 : start + 2);
    int commas = 0;
    for (char c : line)
        commas += c == ',';
    if (commas < 3) return "";
    const size_t comma = line.rfind(',');
    return line.substr(comma + 1, line.size() - comma - 3);
}

std::string OneDecimal(double miles) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", miles);
    return text;
}

class DriveEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        rig::DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
        const SkinRecord skin = DriveSkin();
        const uint32_t options = 0; // imperial, pointer never hidden
        const uint32_t logging = 1;
        const RECT place{0, 0, 500, 400};
        tripLog_ = folder_.File("Trip.log");
        ASSERT_LT(tripLog_.size(), 128u);
        ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Skin2", REG_BINARY,
                                            &skin, sizeof skin));
        ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Metric", REG_DWORD,
                                            &options, sizeof options));
        ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "TripLog", REG_DWORD,
                                            &logging, sizeof logging));
        ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "TripLogPath", REG_SZ,
                                            tripLog_.c_str(), DWORD(tripLog_.size() + 1)));
        ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "WindowPosition",
                                            REG_BINARY, &place, sizeof place));
        ASSERT_TRUE(CreateDirectoryA(folder_.File("Bare").c_str(), nullptr));
    }
    void TearDown() override {
        vantrel_.Stop();
        server_.Stop();
        rig::DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
    }

    HWND StartVantrel() {
        if (!vantrel_.Start(folder_.File("Vantrel.exe"), "Bare")) return nullptr;
        HWND window = rig::WaitForWindow(kTitle, 10000, vantrel_.Id());
        if (window != nullptr)
            rig::WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, 10000);
        return window;
    }
    void CloseVantrel(HWND window) {
        PostMessageA(window, WM_COMMAND, 2, 0);
        EXPECT_TRUE(vantrel_.WaitForExit(10000));
        EXPECT_EQ(vantrel_.ExitCode(), 0u);
    }
    std::string MonthLog() const {
        SYSTEMTIME now;
        GetLocalTime(&now);
        return TripLogFileName(tripLog_, now.wYear, now.wMonth);
    }
    // The speedometer's picture once its needle has come to rest.
    uint64_t SettledSpeedometer(HWND window) {
        uint64_t last = 0, now = 1;
        rig::WaitUntil(
            [&] {
                Sleep(400);
                last = now;
                now = AreaHash(rig::CaptureWindow(window), kSpeedometerArea);
                return now == last;
            },
            10000);
        return now;
    }

    rig::ProgramFolder folder_;
    rig::Process vantrel_;
    rig::Process server_;
    std::string tripLog_;
};

} // namespace

TEST_F(DriveEndToEnd, HostilePeersFreezeNoGaugeAndStoreNothingARestartCannotRead) {
    rig::SharedMemory gps(kGpsSectionName, sizeof(GpsSnapshot));
    rig::SharedMemory obd(kObdSectionName, sizeof(ObdSnapshot));
    ASSERT_TRUE(gps.Valid() && obd.Valid());
    auto* reader = reinterpret_cast<ObdSnapshot*>(obd.Data());
    reader->clientCount = 0xFF; // a count gone negative
    reader->linkState = 3;
    reader->pidSlot[0x0D] = 60;
    reader->speedFactor = 0.621371f;
    reader->voltsTenths = 138;
    gps.Data()[offsetof(GpsSnapshot, clientCount)] = 0xFF;

    std::vector<GeoPoint> driven{kStart};
    Publish(gps.Data(), Fix(kStart, 30.0f, 1));
    HWND window = StartVantrel();
    ASSERT_NE(window, nullptr);
    Sleep(500);

    const float poisons[] = {kNaN, kInf, -kInf, 1e38f};
    for (uint16_t second = 2; second <= 13; ++second) {
        const GeoPoint at{float(kStart.latitude + LatitudeDegrees(0.1 * (second - 1))),
                          kStart.longitude};
        driven.push_back(at);
        Publish(gps.Data(), Fix(at, 30.0f, second));
        reader->speedFactor = 0.621371f;
        reader->linkState = 3;
        Sleep(350);
        const float poison = poisons[second % 4];
        Publish(gps.Data(), HostileFix(poison));
        reader->speedFactor = poison;
        reader->linkState = 0xFF;
        reader->voltsTenths = 0xFFFF;
        reader->odometerMilli = reader->tripMilli = 0xFFFFFFFF;
        for (uint16_t& mpg : reader->mpgHundredths)
            mpg = 0xFFFF;
        Sleep(350);
        ASSERT_TRUE(vantrel_.Running()) << "the cluster ended at second " << second;
    }
    reader->speedFactor = 0.621371f;
    reader->linkState = 3;

    // The needle follows the speed again after all that: two speeds, two pictures, and the
    // first picture again when its speed returns.
    const GeoPoint end = driven.back();
    Publish(gps.Data(), Fix(end, 20.0f, 14));
    const uint64_t slow = SettledSpeedometer(window);
    Publish(gps.Data(), Fix(end, 60.0f, 15));
    const uint64_t fast = SettledSpeedometer(window);
    Publish(gps.Data(), Fix(end, 20.0f, 16));
    const uint64_t slowAgain = SettledSpeedometer(window);
    EXPECT_NE(slow, fast) << "the speedometer needle is frozen";
    EXPECT_EQ(slow, slowAgain);

    CloseVantrel(window);

    double miles = 0;
    for (size_t i = 1; i < driven.size(); ++i)
        miles += MeridianMiles(driven[i - 1], driven[i]);
    const float odometer = StoredFloat("Odometer");
    EXPECT_NEAR(odometer, miles, 0.01);
    const GeoPoint last = StoredPoint("OdoLastPos");
    EXPECT_EQ(last.latitude, end.latitude);
    EXPECT_EQ(last.longitude, end.longitude);
    const SkinRecord skin = StoredSkin();
    EXPECT_EQ(skin.version, kSkinVersionCurrent);
    EXPECT_EQ(KindRecord(skin, kKindSpeedometer).paramA, kRange) << "70 mph at most";
    EXPECT_EQ(KindRecord(skin, kKindObd2Speedometer).paramA, kRange) << "37 mph at most";
    EXPECT_EQ(KindRecord(skin, kKindDepthGauge).paramA, kRange) << "30 feet at most";

    const std::vector<uint8_t> trail = rig::ReadFileBytes(folder_.File("Trails.dat"));
    ASSERT_EQ(trail.size(), sizeof(TrailRing));
    EXPECT_EQ(std::memcmp(trail.data(), "TR01", 4), 0);
    const std::vector<GeoPoint> points = TrailPoints(trail);
    ASSERT_EQ(points.size(), driven.size() - 1) << "one point per 0.1 mile, none from the garbage";
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].latitude, driven[i + 1].latitude) << i;
        EXPECT_EQ(points[i].longitude, driven[i + 1].longitude) << i;
    }
    TrailRing ring;
    std::memcpy(&ring, trail.data(), sizeof ring);
    for (const GeoPoint& p : ring.points)
        ASSERT_TRUE(OnTheGlobe(p)) << p.latitude << " " << p.longitude;

    const std::string log = FileText(MonthLog());
    EXPECT_EQ(LastTripDistance(log), OneDecimal(miles)) << log;
    EXPECT_EQ(log.find("nan"), std::string::npos);
    EXPECT_EQ(log.find("inf"), std::string::npos);

    // A restart reads all of it back and, with the vehicle standing where it stopped, writes the
    // same trail, odometer and skin again and no second trip line.
    Publish(gps.Data(), Fix(end, 0.0f, 20));
    window = StartVantrel();
    ASSERT_NE(window, nullptr);
    Sleep(1500);
    CloseVantrel(window);
    // The regained fix only breaks the trail once more.
    const std::vector<uint8_t> reread = rig::ReadFileBytes(folder_.File("Trails.dat"));
    ASSERT_EQ(reread.size(), trail.size());
    EXPECT_EQ(std::memcmp(reread.data(), "TR01", 4), 0);
    const std::vector<GeoPoint> pointsAgain = TrailPoints(reread);
    ASSERT_EQ(pointsAgain.size(), points.size());
    for (size_t i = 0; i < points.size(); ++i)
        EXPECT_EQ(std::memcmp(&pointsAgain[i], &points[i], sizeof points[i]), 0) << i;
    EXPECT_EQ(StoredFloat("Odometer"), odometer);
    const SkinRecord again = StoredSkin();
    EXPECT_EQ(std::memcmp(&again, &skin, sizeof skin), 0);
    EXPECT_EQ(FileText(MonthLog()), log);
}

TEST_F(DriveEndToEnd, TeardownLeavesTheDriveInTheTrailTheTripLineAndTheRegistry) {
    // 2.02 miles due north in 40 steps, a line every 250 ms: the cluster measures once per GPS
    // second, so it takes about every fourth line; along a meridian the total is the same
    // whichever lines it takes.
    const std::string script = folder_.File("drive.txt");
    // Nine significant digits give back the very float, however the server reads them.
    std::string text = "fix 47.6 122.3 30 0 100 0 6\nhold 12\n";
    std::vector<GeoPoint> lines{kStart};
    for (int i = 1; i <= 40; ++i) {
        const GeoPoint at{float(kStart.latitude + LatitudeDegrees(0.0505 * i)), kStart.longitude};
        lines.push_back(at);
        char line[96];
        std::snprintf(line, sizeof line, "fix %.9g 122.3 30 0 100 0 6\n", double(at.latitude));
        text += line;
    }
    text += "hold 20\n";
    ASSERT_TRUE(rig::WriteFileBytes(script, std::vector<uint8_t>(text.begin(), text.end())));

    HWND window = StartVantrel(); // the server is not there yet: the cluster waits for it
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(
        server_.Start(folder_.File("GpsServer.exe"), "/script \"" + script + "\" /interval 250"));
    ASSERT_NE(rig::WaitForWindow(kGpsServerWindowTitle, 10000, server_.Id()), nullptr);
    // Through the script and into its last hold, however busy the machine: the server has
    // published the last position, and the cluster has had a few GPS seconds to take it in.
    EXPECT_TRUE(rig::WaitUntil(
        [&] {
            GpsSnapshot now{};
            const std::vector<uint8_t> bytes = rig::ReadSharedMemory(kGpsSectionName, sizeof now);
            if (bytes.size() == sizeof now) std::memcpy(&now, bytes.data(), sizeof now);
            return now.latitude == lines.back().latitude;
        },
        40000))
        << "the stand-in never reached the end of its script";
    Sleep(2500);
    CloseVantrel(window);

    const double miles = MeridianMiles(lines.front(), lines.back());
    const float odometer = StoredFloat("Odometer");
    EXPECT_NEAR(odometer, miles, 0.01);
    const GeoPoint last = StoredPoint("OdoLastPos");

    const std::string log = FileText(MonthLog());
    EXPECT_EQ(LastTripDistance(log), OneDecimal(miles)) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;

    // The trail: script positions only, in the order driven, each at least the trip's step from
    // the one before. Which lines the cluster took depends on how its ticks fell against the
    // server's, so the drive's end is in the trail only when the step to it was long enough; the
    // trail always ends less than a step short of it, and the stored position is its last point.
    const std::vector<GeoPoint> points =
        TrailPoints(rig::ReadFileBytes(folder_.File("Trails.dat")));
    ASSERT_GE(points.size(), 5u);
    size_t line = 0;
    GeoPoint previous = kStart;
    for (const GeoPoint& p : points) {
        while (line < lines.size() && lines[line].latitude != p.latitude)
            ++line;
        ASSERT_LT(line, lines.size()) << "a trail point the drive never passed: " << p.latitude;
        EXPECT_EQ(p.longitude, kStart.longitude);
        EXPECT_GE(MeridianMiles(previous, p), 0.09 - 1e-6);
        previous = p;
    }
    EXPECT_LT(MeridianMiles(points.back(), lines.back()), kTripMinStep);
    EXPECT_EQ(std::memcmp(&points.back(), &last, sizeof last), 0)
        << last.latitude << " " << points.back().latitude;
}
