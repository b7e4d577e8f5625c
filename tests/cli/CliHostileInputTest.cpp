// SPDX-License-Identifier: GPL-3.0-or-later
// Hostile and unlucky input on the command line: no file lost, no hang, no crash, nothing sent for what is
// refused.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "CliRunner.h"

namespace varnoth {
namespace {

TEST_F(CliTest, FilesAreNeverOverwrittenByASlipOrWrittenUnderANameWithoutAFilePart) {
    ASSERT_EQ(Sim({"save", (dir / "good.vqm").string()}).code, 0);
    const std::string good = ReadText(dir / "good.vqm");
    fs::copy_file(dir / "good.vqm", dir / "venue.vqm");
    fs::create_directories(dir / "sub");
    struct Case {
        std::vector<std::string> args;
        const char* says;
    };
    const Case cases[] = {
        {{"export", (dir / "venue.vqm").string()}, "ends in .json"},
        {{"export", (dir / "good.vqm").string(), (dir / "venue.vqm").string()}, "ends in .json"},
        {{"save", ""}, "names no file"},
        {{"save", (dir / "sub").string() + "/"}, "names no file"},
        {{"import", (dir / "good.json").string(), (dir / "sub").string() + "/"}, "names no file"},
    };
    std::ofstream(dir / "good.json") << "{\"MicGEQ.3\": {\"raw\": 60}}";
    for (const Case& c : cases) {
        const Outcome outcome = Sim(c.args);
        EXPECT_EQ(outcome.code, 3) << outcome;
        EXPECT_TRUE(Contains(outcome.err, c.says)) << outcome;
    }
    EXPECT_EQ(ReadText(dir / "venue.vqm"), good) << "the mode data file is as it was";
    EXPECT_TRUE(fs::is_empty(dir / "sub")) << "no hidden .vqm in the folder";
    EXPECT_FALSE(fs::exists(dir / ".vqm"));
    EXPECT_FALSE(fs::exists(".vqm"));
}

TEST_F(CliTest, StandardOutputThatCannotBeWrittenIsAFailure) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--simulate", "export", "-"},
                                                 std::vector<std::string>{"--simulate", "dump"}}) {
        const pid_t child = StartWriting(args, "/dev/full", "/dev/null");
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 3) << args.back() << " on a full disk must not report success";
    }
}

TEST_F(CliTest, PresetsObeyTheMachineSettingsSendWhatTheyNameAndShareTheRangesOfModeDataFiles) {
    ASSERT_EQ(Sim({"machine", "set", "MaxMicVol", "10", "EnableLockFunc", "1", "Lock_MusicVol", "1"}).code,
              0);
    const auto preset = [&](const std::string& name, const std::string& json) {
        std::ofstream(dir / name) << json;
        return (dir / name).string();
    };
    struct Case {
        std::string json;
        std::vector<std::string> extra;
        int code;
        const char* says;
    };
    const Case cases[] = {
        {R"({"MicVol": {"raw": 36}})", {}, 3, "above the maximum"},
        {R"({"MusicVol": {"raw": 5}})", {}, 3, "--force overrides"},
        {R"({"Machine.Spare.8": {"raw": 3}})", {}, 3, "Machine.Spare.8 = 3 is outside 0..0"},
        {R"({"Machine.Spare.8": 3, "MicGEQ.1": 61})", {"--skip-invalid"}, 0, "left out"},
        {"{\"\\u001b[2J\": 1}", {}, 3, "unknown name \"\\u001b[2J\""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"import", preset("p.json", c.json)};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const Outcome outcome = Sim(args);
        EXPECT_EQ(outcome.code, c.code) << c.json << "\n" << outcome;
        EXPECT_TRUE(Contains(outcome.err, c.says)) << c.json << "\n" << outcome;
        EXPECT_EQ(outcome.err.find('\x1b'), std::string::npos) << "no raw escape reaches the terminal";
    }
    EXPECT_EQ(Sim({"get", "MicGEQ.1"}).out, "61\n")
        << "the value beside the refused one went out with --skip-invalid";

    // The routing to the main outputs is not part of the whole-set write: it goes out by itself.
    ASSERT_EQ(
        Sim({"import", preset("route.json", R"({"ChToMainL_Mic": {"raw": 0}, "ChToMainR_Music": 3})")}).code,
        0);
    EXPECT_EQ(Sim({"get", "ChToMainL_Mic"}).out, "0\n");
    EXPECT_EQ(Sim({"get", "ChToMainR_Music"}).out, "3\n");
    ASSERT_EQ(Sim({"save", (dir / "route.vqm").string()}).code, 0);
    ASSERT_EQ(Sim({"import", preset("back.json", R"({"ChToMainL_Mic": 100, "ChToMainR_Music": 100})")}).code,
              0);
    ASSERT_EQ(Sim({"load", (dir / "route.vqm").string()}).code, 0);
    EXPECT_EQ(Sim({"get", "ChToMainR_Music"}).out, "3\n") << "load sends the routing the file holds";

    // A backup of values outside the panel's ranges is written, and loading it back names each of them.
    std::string image = ReadText(dir / "route.vqm");
    image[114 + 8] = static_cast<char>(0xC0);
    image[114 + 3] = 99;
    std::ofstream(dir / "odd.vqm", std::ios::binary) << image;
    const Outcome refused = Sim({"load", (dir / "odd.vqm").string()});
    EXPECT_EQ(refused.code, 3) << refused;
    EXPECT_TRUE(Contains(refused.err, "Machine.MaxMicVol is 99") &&
                Contains(refused.err, "Machine.LockBits is 192") && Contains(refused.err, "--skip-invalid"))
        << refused;
    const Outcome rest = Sim({"load", (dir / "odd.vqm").string(), "--skip-invalid"});
    EXPECT_EQ(rest.code, 0) << rest;
    EXPECT_TRUE(Contains(rest.err, "Machine.MaxMicVol is 99")) << rest;
}

TEST_F(CliTest, SpecialFilesAndStateFilesAreRefusedWithoutAHangOrACrash) {
    const fs::path pipe = dir / "pipe.json";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    fs::create_symlink("loop", dir / "loop");
    fs::create_directories(dir / "folder");
    struct Case {
        std::vector<std::string> args;
        const char* says;
        int code = 3;
    };
    const std::string longName = (dir / std::string(300, 'x')).string();
    const Case cases[] = {
        {{"--simulate", "import", pipe.string()}, "not a regular file"},
        {{"--simulate", "diff", pipe.string(), "device"}, "not a regular file", 2},  // diff's trouble
        {{"--simulate", "export", pipe.string(), "-"}, "not a regular file"},
        {{"--simulate", "--sim-state", pipe.string(), "dump"}, "not a regular file"},
        {{"--simulate", "--sim-state", "/dev/zero", "dump"}, "not a regular file"},
        {{"--simulate", "--sim-state", (dir / "folder").string(), "dump"}, "not a regular file"},
        {{"--simulate", "--sim-state", (dir / "loop").string(), "dump"}, "symbolic links"},
        {{"--simulate", "--sim-state", longName, "dump"}, "too long"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Run(c.args);
        EXPECT_EQ(outcome.code, c.code) << outcome;
        EXPECT_TRUE(Contains(outcome.err, c.says)) << outcome;
    }
    EXPECT_EQ(Run({"--simulate", "--sim-state", "", "dump"}).code, 2)
        << "an empty state file name is no name";

    // Through a link the state goes to the link's target, and the link stays.
    ASSERT_EQ(Sim({"set", "MicGEQ.2", "59"}).code, 0);
    fs::create_symlink(dir / "amp.state", dir / "link.state");
    EXPECT_EQ(Run({"--simulate", "--sim-state", (dir / "link.state").string(), "set", "MicGEQ.2", "64"}).code,
              0);
    EXPECT_TRUE(fs::is_symlink(dir / "link.state"));
    EXPECT_EQ(Sim({"get", "MicGEQ.2"}).out, "64\n");
}

TEST_F(CliTest, CtrlCAndSigtermEndLongCommandsAtOnceWithoutWritingAResult) {
    struct Case {
        std::vector<std::string> args;
        int signal;
    };
    const std::string target = (dir / "lossy.vqm").string();
    const Case cases[] = {
        {{"--simulate=lossy", "dump"}, SIGINT},
        {{"--simulate=lossy", "save", target}, SIGTERM},
        {{"--simulate=lossy", "export", (dir / "lossy.json").string()}, SIGINT},
    };
    for (const Case& c : cases) {
        const pid_t child = StartTraced(dir, c.args);
        // Signalled once the command talks to the amplifier: in the middle of its work.
        EXPECT_TRUE(WaitForText(dir / "stderr.txt", ">Write: "))
            << c.args[1] << " never reached the amplifier";
        kill(child, c.signal);
        const auto signalled = std::chrono::steady_clock::now();
        const Outcome outcome = Finish(dir, child);
        const auto took = std::chrono::steady_clock::now() - signalled;
        EXPECT_LT(took, std::chrono::seconds(1)) << c.args[1] << " went on after the signal";
        EXPECT_TRUE(outcome.signalled) << "ends by its signal: " << outcome;
        EXPECT_EQ(outcome.code, 128 + c.signal) << outcome;
        EXPECT_TRUE(Contains(outcome.err, "interrupted")) << outcome;
    }
    EXPECT_FALSE(fs::exists(target)) << "an interrupted save writes nothing";
    EXPECT_FALSE(fs::exists(dir / "lossy.json")) << "an interrupted export writes nothing";
}

TEST_F(CliTest, RepeatedOptionsAndFieldsAreTakenOnceOrRefused) {
    EXPECT_EQ(Run({"--trace", "--trace", "--simulate", "list"}).code, 0);
    const Outcome twice = Sim({"machine", "set", "MaxMicVol", "10", "MaxMicVol", "20"});
    EXPECT_EQ(twice.code, 3) << twice;
    EXPECT_TRUE(Contains(twice.err, "given twice")) << twice;
}

}  // namespace
}  // namespace varnoth
