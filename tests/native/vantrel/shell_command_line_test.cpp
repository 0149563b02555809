#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "state/app_state.h"
#include "shell/command_line.h"

namespace {

std::vector<std::string> Split(std::string text) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back(0);
    char* arguments[kMaxArguments] = {};
    const int count = SplitCommandLine(buffer.data(), arguments);
    std::vector<std::string> result;
    for (int i = 0; i < count; ++i) {
        // Every argument must lie inside the buffer.
        EXPECT_GE(arguments[i], buffer.data());
        EXPECT_LT(arguments[i], buffer.data() + buffer.size());
        result.emplace_back(arguments[i]);
    }
    return result;
}

using Args = std::vector<std::string>;

TEST(CommandLineSplit, ExamplesOfTheCommandLine) {
    EXPECT_EQ(Split("Night 100 -20"), (Args{"Night", "100", "-20"}));
    EXPECT_EQ(Split("\"My Skin\",Big Window Title"), (Args{"My Skin", "Big Window Title"}));
    EXPECT_EQ(Split("one, two three"), (Args{"one", "two three"}));
}

TEST(CommandLineSplit, SeparatorsAndBlanks) {
    EXPECT_EQ(Split(""), Args{});
    EXPECT_EQ(Split("  \t \r\n ,"), Args{});
    EXPECT_EQ(Split("  a\tb\r\nc d"), (Args{"a", "b", "c d"}));
    // A blank after a line separator is part of the argument, so tabs and spaces are kept.
    EXPECT_EQ(Split("x\r\n\t y z\n w"), (Args{"x", "y z", "w"}));
    EXPECT_EQ(Split("a,,b"), (Args{"a", "b"}));
}

TEST(CommandLineSplit, Quotes) {
    // Unclosed quote: the argument runs to the end and splitting stops.
    EXPECT_EQ(Split("a \"b c d"), (Args{"a", "b c d"}));
    // A quote at the very end starts nothing.
    EXPECT_EQ(Split("a \""), (Args{"a"}));
    // Text right after a closing quote is skipped up to the next separator.
    EXPECT_EQ(Split("\"ab\"cd ef"), (Args{"ab", "ef"}));
    // After a comma, what follows the closing quote is skipped up to the next line separator.
    EXPECT_EQ(Split("x,\"two words\" tail here,last"), (Args{"x", "two words", "last"}));
    EXPECT_EQ(Split("\"\" b"), (Args{"", "b"}));
}

TEST(CommandLineSplit, AtMost32Arguments) {
    std::string text;
    for (int i = 1; i <= 33; ++i) {
        text += std::to_string(i) + " ";
    }
    const Args args = Split(text);
    ASSERT_EQ(args.size(), 32u);
    EXPECT_EQ(args.front(), "1");
    EXPECT_EQ(args.back(), "32");
}

TEST(CommandLineNumbers, ReadLikeTheRuntime) {
    EXPECT_EQ(ParseLeadingInteger("12px"), 12);
    EXPECT_EQ(ParseLeadingInteger("0"), 0);
    EXPECT_EQ(ParseLeadingInteger("  -10"), -10);
    EXPECT_EQ(ParseLeadingInteger("+7"), 7);
    EXPECT_EQ(ParseLeadingInteger("- 7"), 0);
    EXPECT_EQ(ParseLeadingInteger("Night"), 0);
    EXPECT_EQ(ParseLeadingInteger("99999999999"), INT32_MAX);
    EXPECT_EQ(ParseLeadingInteger("-99999999999"), INT32_MIN);
}

// A system of one folder "Night" and windows titled "Host", "Other" and "0".
struct FakeSystem {
    int host = 0, other = 0, zero = 0, desktop = 0;
    ArgumentLookups Lookups() {
        ArgumentLookups lookups;
        lookups.pathExists = [](const char* path) { return std::string(path) == "Night"; };
        lookups.findWindow = [this](const char* title) -> WindowHandle {
            const std::string t(title);
            if (t == "Host") return &host;
            if (t == "Other") return &other;
            if (t == "0") return &zero;
            return nullptr;
        };
        lookups.desktopWindow = [this]() -> WindowHandle { return &desktop; };
        return lookups;
    }
};

AppState Interpret(FakeSystem& system, std::string text) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back(0);
    char* arguments[kMaxArguments] = {};
    const int count = SplitCommandLine(buffer.data(), arguments);
    AppState app;
    InterpretArguments(arguments, count, system.Lookups(), app);
    return app;
}

TEST(CommandLineInterpret, SkinNumbersAndHost) {
    FakeSystem system;
    AppState app = Interpret(system, "Night Host 50 -10 7 Nothing");
    EXPECT_STREQ(app.skinFolder, "Night");
    EXPECT_TRUE(app.skinFromCommandLine);
    EXPECT_EQ(app.hostOffsetX, 50);
    EXPECT_EQ(app.hostOffsetY, -10); // the third number is ignored
    EXPECT_EQ(app.hostWindow, &system.host);
}

TEST(CommandLineInterpret, NumbersAloneMakeTheDesktopTheHost) {
    FakeSystem system;
    AppState app = Interpret(system, "100 200");
    EXPECT_EQ(app.hostWindow, &system.desktop);
    EXPECT_EQ(app.hostOffsetX, 100);
    EXPECT_EQ(app.hostOffsetY, 200);
    EXPECT_FALSE(app.skinFromCommandLine);
}

TEST(CommandLineInterpret, ZeroIsATitleAndLaterTitlesWin) {
    FakeSystem system;
    AppState app = Interpret(system, "Host 0");
    EXPECT_EQ(app.hostWindow, &system.zero);
    EXPECT_EQ(app.hostOffsetX, 0);

    app = Interpret(system, "Nothing");
    EXPECT_EQ(app.hostWindow, nullptr);
    app = Interpret(system, "Other,Host");
    EXPECT_EQ(app.hostWindow, &system.host);
}

TEST(CommandLineInterpret, LongSkinFolderIsCut) {
    FakeSystem system;
    ArgumentLookups lookups = system.Lookups();
    lookups.pathExists = [](const char*) { return true; };
    std::string name(400, 'k');
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back(0);
    char* arguments[1] = {buffer.data()};
    AppState app;
    InterpretArguments(arguments, 1, lookups, app);
    EXPECT_EQ(std::string(app.skinFolder), std::string(255, 'k'));
}

} // namespace

namespace {
TEST(CommandLineSplit, UnclosedQuoteAsThe32ndArgumentKeepsItsText) {
    std::string text;
    for (int i = 1; i <= 31; ++i) {
        text += "a ";
    }
    text += "\"last one";
    const Args args = Split(text);
    ASSERT_EQ(args.size(), 32u);
    EXPECT_EQ(args.back(), "last one");
}
} // namespace
