// The OBD-II reader's section and window: attaching with a section this test owns, and end to end
// with Vantrel.exe and the reader stand-in from the ready folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "rig/rig.h"
#include "state/skin_record.h"
#include "sources/obd_feed_win.h"
#include "sources/obd_requests.h"

namespace {

constexpr const char kVantrelTitle[] = "Brevanti - Vantrel";
constexpr const char kSettingsKey[] = "Software\\Brevanti\\Vantrel";

// Detaches at the end of a test whatever happened.
struct Feed {
    ObdFeed feed;
    ~Feed() { CloseObdFeed(feed); }
};

// The reader's record as another program sees it; clientCount 0xEE when there is none.
ObdSnapshot SharedRecord() {
    std::vector<uint8_t> bytes = rig::ReadSharedMemory(kObdSectionName, sizeof(ObdSnapshot));
    ObdSnapshot record;
    std::memset(&record, 0, sizeof record);
    if (bytes.size() == sizeof record)
        std::memcpy(&record, bytes.data(), sizeof record);
    else
        record.clientCount = 0xEE;
    return record;
}

std::string FileText(const std::string& path) {
    std::vector<uint8_t> bytes = rig::ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

int CountLines(const std::string& text, const std::string& line) {
    int count = 0;
    for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
        ++count;
    return count;
}

bool WriteText(const std::string& path, const std::string& text) {
    return rig::WriteFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

} // namespace

TEST(ObdFeed, WithoutTheReaderStaysDetachedAndShowsNotConnected) {
    Feed f;
    OpenObdFeed(f.feed);
    EXPECT_FALSE(ObdFeedAttached(f.feed));
    EXPECT_EQ(f.feed.mapping, nullptr);
    EXPECT_STREQ(ObdStatusWord(f.feed.view), "N/C");
    RequestObdPids(f.feed, DefaultSkinRecord()); // nothing to write to, nothing happens
    SetObdMetric(f.feed, true);
    EXPECT_FALSE(SendObdOdometerReset()) << "no reader window";

    // A section too small for the record is let go again rather than read past its end.
    {
        rig::SharedMemory small(kObdSectionName, 1000);
        ASSERT_TRUE(small.Valid());
        OpenObdFeed(f.feed);
        EXPECT_FALSE(ObdFeedAttached(f.feed));
        EXPECT_EQ(f.feed.mapping, nullptr);
        EXPECT_EQ(small.Data()[0], 0) << "not counted in";
    }
    // Once a proper section appears, the next attempt attaches.
    rig::SharedMemory section(kObdSectionName, sizeof(ObdSnapshot));
    ASSERT_TRUE(section.Valid());
    OpenObdFeed(f.feed);
    EXPECT_TRUE(ObdFeedAttached(f.feed));
}

TEST(ObdFeed, ProgramsCountThemselvesInAndOutAndWriteOnlyRequests) {
    rig::SharedMemory section(kObdSectionName, sizeof(ObdSnapshot));
    ASSERT_TRUE(section.Valid());
    auto* shared = reinterpret_cast<ObdSnapshot*>(section.Data());
    shared->linkState = 3;
    shared->pidRequestMask = 1u << 20; // another program's wish
    shared->optionFlags = kObdOptionVolts;

    Feed a, b;
    OpenObdFeed(a.feed);
    ASSERT_TRUE(ObdFeedAttached(a.feed));
    EXPECT_EQ(shared->clientCount, 1);
    EXPECT_STREQ(ObdStatusWord(a.feed.view), "Working");
    OpenObdFeed(a.feed); // attached: nothing more
    EXPECT_EQ(shared->clientCount, 1);
    OpenObdFeed(b.feed);
    EXPECT_EQ(shared->clientCount, 2);

    SkinRecord skin = DefaultSkinRecord();
    skin.shownMask[0] = skin.shownMask[1] = 0;
    SetKindShown(skin, kKindObd2Ltft2, true);
    RequestObdPids(a.feed, skin);
    EXPECT_EQ(shared->pidRequestMask, (1u << 20) | (1u << 9) | (1u << 13));
    SetObdMetric(a.feed, true);
    EXPECT_EQ(shared->optionFlags, kObdOptionVolts | kObdOptionMetric);
    SetObdMetric(a.feed, false);
    EXPECT_EQ(shared->optionFlags, kObdOptionVolts);

    CloseObdFeed(a.feed);
    EXPECT_FALSE(ObdFeedAttached(a.feed));
    EXPECT_STREQ(ObdStatusWord(a.feed.view), "N/C");
    EXPECT_EQ(shared->clientCount, 1);
    // A reader that reset the count meanwhile: the last program does not wrap it to 255.
    shared->clientCount = 0;
    CloseObdFeed(b.feed);
    EXPECT_EQ(shared->clientCount, 0);
    CloseObdFeed(b.feed); // a second close does nothing
    EXPECT_EQ(shared->clientCount, 0);
}

TEST(ObdFeed, StandInResetsItsOdometerAndLeavesWhenTaken) {
    rig::ProgramFolder folder;
    const std::string record = folder.File("reader.txt");
    const std::string script = folder.File("script.txt");
    ASSERT_TRUE(WriteText(script, "link 3\nodometer 1234.5\ntrip 12\n"));
    rig::Process reader;
    ASSERT_TRUE(reader.Start(folder.File("ObdReader.exe"),
                             "/script \"" + script + "\" /interval 50 /record \"" + record + "\""));
    HWND window = rig::WaitForWindow(kObdReaderWindowTitle, 10000, reader.Id());
    ASSERT_NE(window, nullptr);
    rig::Process second;
    ASSERT_TRUE(second.Start(folder.File("ObdReader.exe")));
    ASSERT_TRUE(second.WaitForExit(10000));
    EXPECT_EQ(second.ExitCode(), 2u) << "a second reader finds the section taken";

    Feed f;
    OpenObdFeed(f.feed);
    ASSERT_TRUE(ObdFeedAttached(f.feed));
    const ObdSnapshot& s = *f.feed.view;
    // Miles unless the cluster asks for metric units.
    EXPECT_TRUE(rig::WaitUntil(
        [&] { return s.odometerMilli > 767000u && s.odometerMilli < 767100u; }, 5000))
        << s.odometerMilli;
    SetObdMetric(f.feed, true);
    EXPECT_TRUE(rig::WaitUntil([&] { return s.odometerMilli == 1234500u; }, 5000));
    EXPECT_EQ(s.tripMilli, 12000u);
    EXPECT_TRUE(SendObdOdometerReset());
    EXPECT_EQ(s.odometerMilli, 0u);
    EXPECT_EQ(s.tripMilli, 0u);
    EXPECT_NE(FileText(record).find("reset\n"), std::string::npos);

    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(reader.WaitForExit(5000));
    EXPECT_EQ(reader.ExitCode(), 0u);
}

class ObdEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        rig::DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
        // Only "OBD2 RPM Gauge" shown; the options word 0 keeps "Hide Mouse" (and with it the
        // idle re-request) off, so the reader's own WM_USER is what brings requests back.
        SkinRecord skin = DefaultSkinRecord();
        skin.opacity = 255;
        skin.shownMask[0] = skin.shownMask[1] = 0;
        SetKindShown(skin, kKindObd2RpmGauge, true);
        const uint32_t options = 0;
        ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Skin2", REG_BINARY,
                                            &skin, sizeof skin));
        ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Metric", REG_DWORD,
                                            &options, sizeof options));
        ASSERT_TRUE(CreateDirectoryA(folder_.File("Bare").c_str(), nullptr));
    }
    void TearDown() override {
        vantrel_.Stop();
        reader_.Stop();
        rig::DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
    }

    HWND StartVantrel() {
        if (!vantrel_.Start(folder_.File("Vantrel.exe"), "Bare")) return nullptr;
        return rig::WaitForWindow(kVantrelTitle, 10000, vantrel_.Id());
    }
    HWND StartReader(const std::string& arguments) {
        if (!reader_.Start(folder_.File("ObdReader.exe"),
                           arguments + " /interval 50 /record \"" + Record() + "\""))
            return nullptr;
        return rig::WaitForWindow(kObdReaderWindowTitle, 10000, reader_.Id());
    }
    std::string Record() const { return folder_.File("reader.txt"); }
    void CloseVantrel(HWND window) {
        PostMessageA(window, WM_COMMAND, 2, 0);
        EXPECT_TRUE(vantrel_.WaitForExit(10000));
    }

    rig::ProgramFolder folder_;
    rig::Process vantrel_;
    rig::Process reader_;
};

TEST_F(ObdEndToEnd, RegistersRequestsAndAnswersTheReadersAsk) {
    // The reader runs first: Vantrel attaches before its window exists.
    ASSERT_NE(StartReader(""), nullptr);
    HWND vantrel = StartVantrel();
    ASSERT_NE(vantrel, nullptr);
    EXPECT_EQ(SharedRecord().clientCount, 1);

    const std::string registration = "register " + std::to_string(uintptr_t(vantrel)) + "\n";
    EXPECT_TRUE(rig::WaitUntil(
        [&] { return FileText(Record()).find(registration) != std::string::npos; }, 8000))
        << FileText(Record());
    EXPECT_TRUE(rig::WaitUntil([] { return SharedRecord().pidRequestMask == 1u << 12; }, 5000))
        << SharedRecord().pidRequestMask;
    // With its RPM requested the reader polls it and is at work.
    EXPECT_TRUE(rig::WaitUntil([] { return SharedRecord().linkState == 3; }, 5000));
    EXPECT_TRUE(rig::WaitUntil([] { return SharedRecord().pidSlot[0x0C] > 700 * 4; }, 5000));
    EXPECT_EQ(SharedRecord().voltsTenths, 0) << "no voltage gauge shown";

    // The reader forgets every request: falling idle it asks Vantrel, which answers.
    const std::string ask = "ask " + std::to_string(uintptr_t(vantrel)) + "\n";
    const int asksBefore = CountLines(FileText(Record()), ask);
    {
        rig::SharedMemory section(kObdSectionName, sizeof(ObdSnapshot));
        ASSERT_TRUE(section.Valid());
        reinterpret_cast<ObdSnapshot*>(section.Data())->pidRequestMask = 0;
    }
    EXPECT_TRUE(
        rig::WaitUntil([&] { return CountLines(FileText(Record()), ask) > asksBefore; }, 5000));
    EXPECT_TRUE(rig::WaitUntil([] { return SharedRecord().pidRequestMask == 1u << 12; }, 5000));
    EXPECT_EQ(CountLines(FileText(Record()), "register "), 1) << "still the one registration";

    // Exit counts Vantrel out, exactly once; the reader stays.
    CloseVantrel(vantrel);
    EXPECT_EQ(SharedRecord().clientCount, 0);
    EXPECT_TRUE(reader_.Running());
}

TEST_F(ObdEndToEnd, AttachesWhenTheReaderComesAndAnnouncesAgainAfterALinkDrop) {
    HWND vantrel = StartVantrel();
    ASSERT_NE(vantrel, nullptr);
    Sleep(1500); // a few second ticks without a reader: nothing to attach to
    EXPECT_EQ(SharedRecord().clientCount, 0xEE) << "Vantrel never creates the section";

    // Link up for 3 s, down for 2.5 s, up again.
    const std::string script = folder_.File("link.txt");
    ASSERT_TRUE(WriteText(script, "link 4\nwait 60\nlink 0\nwait 50\nlink 7\n"));
    ASSERT_NE(StartReader("/script \"" + script + "\""), nullptr);
    EXPECT_TRUE(rig::WaitUntil([] { return SharedRecord().clientCount == 1; }, 3000))
        << "attached within about a second";
    EXPECT_TRUE(
        rig::WaitUntil([&] { return CountLines(FileText(Record()), "register ") == 1; }, 3000));
    EXPECT_EQ(SharedRecord().pidRequestMask, 1u << 12);
    EXPECT_TRUE(rig::WaitUntil([] { return SharedRecord().linkState == 0; }, 8000));
    EXPECT_TRUE(rig::WaitUntil([] { return SharedRecord().linkState == 7; }, 8000));
    EXPECT_TRUE(
        rig::WaitUntil([&] { return CountLines(FileText(Record()), "register ") == 2; }, 3000))
        << FileText(Record());
    Sleep(1500);
    EXPECT_EQ(CountLines(FileText(Record()), "register "), 2) << "one announcement per link-up";

    CloseVantrel(vantrel);
    EXPECT_EQ(SharedRecord().clientCount, 0);
}
