// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnoth {
namespace {

CommandLine Parse(std::vector<std::string> args) {
    return ParseCommandLine(args);
}

TEST(CommandLine, ReadsTheSimulationScenarioTheScreenshotAndTheTrace) {
    const CommandLine none = Parse({});
    EXPECT_FALSE(none.simulate);
    EXPECT_FALSE(none.trace);
    EXPECT_TRUE(none.screenshot.empty());
    EXPECT_TRUE(none.error.empty());

    const CommandLine plain = Parse({"--simulate", "--trace", "--screenshot", "shot.png"});
    EXPECT_TRUE(plain.simulate);
    EXPECT_EQ(plain.scenario, "normal");
    EXPECT_TRUE(plain.trace);
    EXPECT_EQ(plain.screenshot, "shot.png");
    EXPECT_TRUE(plain.error.empty());

    const CommandLine named = Parse({"--simulate=old-firmware", "--screenshot=a b.png"});
    EXPECT_TRUE(named.simulate);
    EXPECT_EQ(named.scenario, "old-firmware");
    EXPECT_EQ(named.screenshot, "a b.png");
    EXPECT_FALSE(named.dialogScreenshots);
    EXPECT_TRUE(Parse({"--screenshot", "s.png", "--dialog-screenshots"}).dialogScreenshots);
}

TEST(CommandLine, RefusesWhatItCannotUse) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{{"--screenshot"},
                                                                                      {"--simulate="},
                                                                                      {"--screenshot="},
                                                                                      {"--simulates"},
                                                                                      {"a.vqm", "extra"},
                                                                                      {""},
                                                                                      {"--simulate", "-x"}}) {
        EXPECT_FALSE(Parse(args).error.empty()) << args.back();
    }
    EXPECT_EQ(Parse({"--bogus"}).error, "unknown option '--bogus'");
    EXPECT_EQ(Parse({"a.vqm", "extra"}).error, "unexpected argument 'extra'");
}

// The mode data file comes back as the bytes it was given, also where they are not UTF-8 (GBK from a Windows
// PC), wherever it stands; an option's value is never taken for it.
TEST(CommandLine, KeepsTheBytesOfTheModeDataFilesName) {
    const std::string gbk = "\xc4\xa3\xca\xbd\xca\xfd\xbe\xdd.vqm";
    struct Case {
        std::vector<std::string> args;
        std::string file;
        std::string screenshot;
    };
    const Case cases[] = {
        {{gbk}, gbk, ""},
        {{"--simulate", "/home/ktv/" + gbk, "--trace"}, "/home/ktv/" + gbk, ""},
        {{"--screenshot", gbk + ".png", "set.vqm"}, "set.vqm", gbk + ".png"},
        {{"--screenshot", "shot.png"}, "", "shot.png"},
        {{"--", "-dash.vqm"}, "-dash.vqm", ""},
        {{"-platform", "offscreen", "set.vqm"}, "set.vqm", ""},
    };
    for (const Case& c : cases) {
        const CommandLine parsed = Parse(c.args);
        EXPECT_TRUE(parsed.error.empty()) << parsed.error;
        EXPECT_EQ(parsed.file, c.file);
        EXPECT_EQ(parsed.screenshot, c.screenshot);
    }
    EXPECT_EQ(Parse({"a.vqm", gbk}).error, "unexpected argument '" + gbk + "'");
}

TEST(CommandLine, LeavesQtsOwnOptionsToQt) {
    const CommandLine qt = Parse({"-platform", "offscreen", "--simulate", "-reverse", "-style=fusion"});
    EXPECT_TRUE(qt.error.empty()) << qt.error;
    EXPECT_TRUE(qt.simulate);
    // The display check before Qt starts looks where Qt will.
    EXPECT_EQ(qt.qtPlatform, "offscreen");
    EXPECT_EQ(Parse({"-display", ":7"}).qtDisplay, ":7");
    EXPECT_EQ(Parse({"--simulate"}).qtPlatform, "");
}

TEST(CommandLine, AnswersHelpAndVersionWhereverTheyStand) {
    using Args = std::vector<std::string>;
    EXPECT_EQ(ImmediateAnswer(Args{"--simulate", "--help"}), CommandLineUsage());
    EXPECT_EQ(ImmediateAnswer(Args{"-h", "--bogus"}), CommandLineUsage());
    const auto version = ImmediateAnswer(Args{"--version"});
    ASSERT_TRUE(version.has_value());
    EXPECT_TRUE(version->starts_with("varnoth ")) << *version;
    EXPECT_FALSE(ImmediateAnswer(Args{"--simulate", "--trace"}).has_value());
}

}  // namespace
}  // namespace varnoth
