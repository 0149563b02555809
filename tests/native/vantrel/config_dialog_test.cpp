// The configuration dialog's decisions that need no window: a kind's control values, the option
// toggles, and what its folder lists offer.
#include <gtest/gtest.h>

#include "config/config_dialog.h"

TEST(ConfigDialogValues, KindControlsMakeATransparentColourOpaqueAndPickTheFourthRange) {
    SkinRecord skin = DefaultSkinRecord();
    KindRecord(skin, kKindClock).color = 0x00123456;
    const KindControlValues clock = PrepareKindControls(skin, kKindClock);
    EXPECT_EQ(KindRecord(skin, kKindClock).color, 0xFF123456u); // saved like any edit
    EXPECT_EQ(clock.channels[kChannelAlpha], 255);
    EXPECT_EQ(clock.channels[kChannelRed], 0x12);
    EXPECT_EQ(clock.channels[kChannelBlue], 0x56);
    EXPECT_STREQ(clock.labels[0], "Size");
    EXPECT_STREQ(clock.labels[1], "Width");

    struct Case {
        int kind;
        int32_t limit;
    };
    for (const Case& c : {Case{kKindSpeed, 360}, Case{kKindSpeedometer, 12}, Case{kKindCourse, 55},
                          Case{kKindObd2MpgGauge, 12}, Case{kKindDepth, 360}})
        EXPECT_EQ(ParamDLimit(c.kind), c.limit) << c.kind;
}

TEST(ConfigDialogValues, ChannelsTogglesAndTheirRanges) {
    EXPECT_EQ(WithChannel(0xFF102030, kChannelRed, 0xAB), 0xFFAB2030u);
    EXPECT_EQ(WithChannel(0xFF102030, kChannelAlpha, 300), 0xFF102030u);
    EXPECT_EQ(WithChannel(0xFF102030, kChannelBlue, -5), 0xFF102000u);
    EXPECT_EQ(ToggledDrawRate(100), 500u);
    EXPECT_EQ(ToggledDrawRate(500), 100u);
    EXPECT_EQ(ToggledDrawRate(250), 100u);
    EXPECT_EQ(PlaySpeedFromTrack(0), 1u);
    EXPECT_EQ(PlaySpeedFromTrack(10), 11u);
    EXPECT_EQ(PlaySpeedFromTrack(99), 11u);
    EXPECT_EQ(TrackFromPlaySpeed(11), 10);
    EXPECT_FALSE(OpacityAttributes(0x1FF).useAlpha);
    EXPECT_EQ(OpacityAttributes(0x180).alpha, 0x80);
}

TEST(ConfigDialogValues, ListsOfferOnlyWhatCanBeUsed) {
    EXPECT_EQ(LogPathFor("C:\\GPSLog\\GPS.gps", "Drive.gps"), "C:\\GPSLog\\Drive.gps");
    EXPECT_EQ(LogPathFor("GPS.gps", "Drive.gps"), ".\\Drive.gps");
    EXPECT_EQ(LogPathFor("C:\\GPSLog\\GPS.gps", std::string(127, 'a')), "");
    EXPECT_TRUE(OffersLogFile("Trip.GPS", false, false, false));
    EXPECT_FALSE(OffersLogFile(".gps", false, false, false));
    EXPECT_FALSE(OffersLogFile("Trip.gps", true, false, false));
    EXPECT_FALSE(OffersLogFile("Trip.gps", false, true, false));
    EXPECT_FALSE(OffersLogFile("Trip.gps", false, false, true));
    EXPECT_FALSE(OffersLogFile("Trip.gpsx", false, false, false));
    EXPECT_TRUE(OffersSkinFolder("Night", true));
    EXPECT_FALSE(OffersSkinFolder(".git", true));
    EXPECT_FALSE(OffersSkinFolder("Night", false));
    EXPECT_TRUE(OffersSkinFolder(std::string(255, 'n'), true));
    EXPECT_FALSE(OffersSkinFolder(std::string(256, 'n'), true)); // would not fit "ForeSkin"
}
