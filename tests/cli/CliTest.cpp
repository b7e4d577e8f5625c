// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliRunner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace varnoth {
namespace {

TEST_F(CliTest, BadInputsGiveTheirExitCodeAndOneLineOnStderr) {
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string says;
    };
    std::string hex = (dir / "image.hex").string();
    std::ofstream(hex) << ":00000001FF\n";
    const Case cases[] = {
        {{}, 2, "no command given"},
        {{"--simulate", "frobnicate"}, 2, "unknown command 'frobnicate'"},
        {{"--simulate", "set", "MicVol"}, 2, "set takes a parameter name and a value"},
        {{"--simulate", "dump", "--xml"}, 2, "unknown option '--xml'"},
        {{"--bogus", "dump"}, 2, "unknown option '--bogus'"},
        {{"-x"}, 2, "unknown option '-x'"},
        {{"--simulate", "dump", "-j"}, 2, "unknown option '-j'"},
        {{"--simulate", "--offline", "dump"}, 2, "exclude each other"},
        {{"--sim-state", "x", "dump"}, 2, "--sim-state needs --simulate"},
        {{"--simulate=haunted", "dump"}, 2, "unknown simulation scenario \"haunted\""},
        {{"--simulate", "set", "MicVol", "37"}, 3, "outside 0..36"},
        {{"--simulate", "set", "MicGEQ.3", "loud"}, 3, "must be a number"},
        {{"--simulate", "get", "EffectFeedback.2"}, 3, "unknown parameter \"EffectFeedback.2\""},
        {{"--simulate", "mode", "load", "0"}, 3, "1..4"},
        {{"--simulate", "ir", "learn", "16"}, 3, "1..15"},
        {{"--simulate", "load", File("short.vqm", 140)}, 3, "holds 140 bytes"},
        {{"--simulate", "load", File("long.vqm", 142)}, 3, "holds more than 141 bytes"},
        {{"--simulate", "load", File("ff.vqm", 141, '\xFF')},
         3,
         "InputGain_Mic is 255, outside its range 0..127"},
        {{"--simulate=upgrade", "upgrade", hex}, 3, "Intel HEX"},
        {{"--simulate=upgrade", "upgrade", File("tiny.bin", 99)}, 3, "at least 100"},
        {{"--simulate=foreign", "dump"}, 1, "\"VQ580\", not a VQ317X"},
        {{"--simulate=upgrade", "get", "MicVol"}, 1, "upgrade mode"},
        {{"--simulate", "upgrade"}, 1, "not in upgrade mode"},
        {{"--simulate=silent", "get", "MicVol"}, 1, "does not answer"},
        {{"--offline", "levels"}, 1, "needs an amplifier"},
    };
    for (const Case& c : cases) {
        const Outcome o = Run(c.args);
        EXPECT_EQ(o.code, c.code) << o;
        EXPECT_TRUE(Contains(o.err, c.says)) << o;
        EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << "one line: " << o;
        EXPECT_EQ(o.err.rfind("varnoth-cli: ", 0), 0u) << o;
        EXPECT_TRUE(o.out.empty()) << o;
    }
}

TEST_F(CliTest, SetGetAndDumpTalkToOneAmplifierThatRemembers) {
    Outcome o = Sim({"set", "MicVol", "21"});
    ASSERT_EQ(o.code, 0) << o;
    EXPECT_EQ(o.out, "MicVol = 21\n");
    o = Sim({"set", "EffectFeedback.1", "0x2a"});
    EXPECT_EQ(o.out, "EffectFeedback.1 = 42\n") << o;

    o = Sim({"get", "MicVol"});
    EXPECT_EQ(o.code, 0) << o;
    EXPECT_EQ(o.out, "21\n") << "the second run reads what the first one wrote";

    o = Sim({"dump"});
    ASSERT_EQ(o.code, 0) << o;
    EXPECT_TRUE(o.err.empty()) << o;
    for (const char* line :
         {"InputGain_Mic = ", "CompressThreshold_Mic = ", "MicVol = 21\n", "EffectFeedback.1 = 42\n",
          "MicGEQ.3 = ", "SubGEQ.9 = ", "MicControlSubRate = ", "Mode = 1\n", "DeviceName = VQ317X\n",
          "DeviceDate = 2011-11-28\n", "Machine.MaxMicVol = ", "IR.SystemCode = ", "IR.Key.15 = "}) {
        EXPECT_TRUE(Contains(o.out, line)) << line;
    }
    o = Sim({"dump", "--json"});
    ASSERT_EQ(o.code, 0) << o;
    EXPECT_EQ(o.out.rfind("{\n  \"format\": 1,\n", 0), 0u) << "the document names its format first: " << o;
    EXPECT_TRUE(Contains(o.out, "\"MicVol\": {\"raw\": 21, \"shown\": ")) << o;
    EXPECT_TRUE(Contains(o.out, "\"DeviceName\": \"VQ317X\",")) << o;
    EXPECT_TRUE(Contains(o.out, "\"Machine.PowerMicVol\": {\"raw\": ")) << o;

    o = Run({"--offline", "dump"});
    EXPECT_EQ(o.code, 0) << o;
    EXPECT_TRUE(Contains(o.out, "PEQLowGain_Mic = 64\nPEQLMidGain_Mic = 64"))
        << "the store's defaults offline";
}

TEST_F(CliTest, SaveLoadAndModesMoveWholeParameterSets) {
    ASSERT_EQ(Sim({"set", "InputGain_Mic", "33"}).code, 0);
    Outcome o = Sim({"save", (dir / "venue.txt").string()});
    ASSERT_EQ(o.code, 0) << o;
    const fs::path saved = dir / "venue.vqm";
    EXPECT_EQ(o.out, "Saved " + saved.string() + "\n");
    EXPECT_EQ(fs::file_size(saved), 141u);

    ASSERT_EQ(Sim({"set", "InputGain_Mic", "1"}).code, 0);
    o = Sim({"load", saved.string()});
    ASSERT_EQ(o.code, 0) << o;
    EXPECT_EQ(Sim({"get", "InputGain_Mic"}).out, "33\n") << "load wrote the file's set to the amplifier";
    ASSERT_EQ(Sim({"save", (dir / "again.vqm").string()}).code, 0);
    EXPECT_EQ(ReadText(dir / "again.vqm"), ReadText(saved))
        << "saved again after the load, the amplifier holds the file's set, its machine settings' reserved "
           "pair included";

    ASSERT_EQ(Sim({"mode", "save", "3"}).code, 0);
    ASSERT_EQ(Sim({"set", "InputGain_Mic", "2"}).code, 0);
    o = Sim({"mode", "load", "3"});
    EXPECT_EQ(o.out, "Mode M3 loaded\n") << o;
    EXPECT_EQ(Sim({"get", "InputGain_Mic"}).out, "33\n");
    EXPECT_TRUE(Contains(Sim({"dump"}).out, "Mode = 3\n"));
    o = Sim({"mode", "reset", "3"});
    EXPECT_EQ(o.code, 0) << o;
    EXPECT_NE(Sim({"get", "InputGain_Mic"}).out, "33\n") << "the mode's factory set replaced it";
}

TEST_F(CliTest, SetAndModeObeyTheMachineSettingsAsThePanelDoesUnlessForced) {
    ASSERT_EQ(Sim({"machine", "set", "MaxMicVol", "20", "EnableLockFunc", "1", "Lock_LoadMode", "1"}).code,
              0);
    Outcome o = Sim({"set", "MicVol", "21"});
    EXPECT_EQ(o.code, 3) << o;
    EXPECT_TRUE(Contains(o.err, "above the maximum mic volume 20")) << o;
    EXPECT_EQ(Sim({"set", "MicVol", "20"}).code, 0);
    EXPECT_EQ(Sim({"set", "MusicVol", "36"}).code, 0) << "another volume keeps its own maximum";

    ASSERT_EQ(Sim({"machine", "set", "Lock_MicVol", "1"}).code, 0);
    o = Sim({"set", "MicVol", "5"});
    EXPECT_EQ(o.code, 3) << o;
    EXPECT_TRUE(Contains(o.err, "Mic vol locked!")) << o;
    o = Sim({"mode", "load", "2"});
    EXPECT_EQ(o.code, 3) << o;
    EXPECT_TRUE(Contains(o.err, "Load mode locked!")) << o;
    EXPECT_EQ(Sim({"get", "MicVol"}).out, "20\n") << "nothing was sent";
    EXPECT_TRUE(Contains(Sim({"dump"}).out, "Mode = 1\n"));

    EXPECT_EQ(Sim({"mode", "save", "2"}).code, 0) << "the save lock is off";
    EXPECT_EQ(Sim({"set", "--force", "MicVol", "30"}).code, 0);
    EXPECT_EQ(Sim({"get", "MicVol"}).out, "30\n");
    EXPECT_EQ(Sim({"mode", "load", "2", "--force"}).code, 0);

    ASSERT_EQ(Sim({"machine", "set", "EnableLockFunc", "0"}).code, 0);
    EXPECT_EQ(Sim({"set", "MicVol", "10"}).code, 0) << "the lock bits count only while the locks are on";
    EXPECT_EQ(Sim({"mode", "load", "2"}).code, 0);
}

TEST_F(CliTest, SettingHalfOfTheMicControlSubKeepsTheAmplifiersOtherHalf) {
    ASSERT_EQ(Sim({"set", "MicControlSubRate", "30"}).code, 0);
    ASSERT_EQ(Sim({"set", "MicControlSubTime", "5"}).code, 0);
    EXPECT_EQ(Sim({"get", "MicControlSubRate"}).out, "30\n");
    ASSERT_EQ(Sim({"set", "MicControlSubRate", "7"}).code, 0);
    EXPECT_EQ(Sim({"get", "MicControlSubTime"}).out, "5\n");
}

TEST_F(CliTest, LoadOpensTheFileGivenWhateverItsExtension) {
    ASSERT_EQ(Sim({"set", "InputGain_Mic", "44"}).code, 0);
    ASSERT_EQ(Sim({"save", (dir / "UPPER.VQM").string()}).code, 0);
    ASSERT_TRUE(fs::exists(dir / "UPPER.VQM")) << "the name keeps its case";
    fs::copy_file(dir / "UPPER.VQM", dir / "backup.bin");
    File("backup.vqm", 3);  // another file, which a rewritten name would open
    ASSERT_EQ(Sim({"set", "InputGain_Mic", "1"}).code, 0);
    for (const char* name : {"UPPER.VQM", "backup.bin"}) {
        const Outcome o = Sim({"load", (dir / name).string()});
        EXPECT_EQ(o.code, 0) << o;
    }
    EXPECT_EQ(Sim({"get", "InputGain_Mic"}).out, "44\n");
}

TEST_F(CliTest, ReadablePresetsAreExportedImportedAndCompared) {
    ASSERT_EQ(Sim({"set", "MicGEQ.3", "66"}).code, 0);
    ASSERT_EQ(Sim({"save", (dir / "a.vqm").string()}).code, 0);
    Outcome o = Run({"export", (dir / "a.vqm").string(), (dir / "b.json").string()});
    ASSERT_EQ(o.code, 0) << o;
    o = Run({"import", (dir / "b.json").string(), (dir / "c.vqm").string()});
    ASSERT_EQ(o.code, 0) << o;
    EXPECT_EQ(ReadText(dir / "c.vqm"), ReadText(dir / "a.vqm"))
        << "a mode data file through a preset keeps every byte";

    const std::string preset = (dir / "now.json").string();
    ASSERT_EQ(Sim({"export", preset}).code, 0);
    EXPECT_TRUE(Contains(ReadText(preset), "\"MicGEQ.3\": {\"raw\": 66, \"shown\": \"+2dB\"},"))
        << ReadText(preset);
    EXPECT_TRUE(Contains(ReadText(preset), "\"MicVol\": {\"raw\": "))
        << "the amplifier's set has its volumes";
    ASSERT_EQ(Sim({"set", "MicGEQ.3", "60"}).code, 0);
    o = Sim({"diff", preset, "device"});
    EXPECT_EQ(o.code, 1) << o;
    EXPECT_EQ(o.out, "MicGEQ.3: +2dB (66) -> -4dB (60)\n") << o;
    EXPECT_TRUE(o.err.empty()) << o;

    const std::string bad = (dir / "bad.json").string();
    std::ofstream(bad) << R"({"MicGEQ.3": 64, "MicVol": 40, "Frobnicate": 1})";
    o = Sim({"import", bad});
    EXPECT_EQ(o.code, 3) << o;
    EXPECT_EQ(o.err, "varnoth-cli: " + bad +
                         ": refused: MicVol = 40 is outside 0..36; unknown name \"Frobnicate\"\n");
    EXPECT_EQ(Sim({"get", "MicGEQ.3"}).out, "60\n") << "a refused preset changes nothing";

    o = Sim({"import", preset});
    ASSERT_EQ(o.code, 0) << o;
    o = Sim({"diff", "device", preset});
    EXPECT_EQ(o.code, 0) << o;
    EXPECT_TRUE(o.out.empty()) << o;
}

// dump --json, export, import and diff share one document: a dump is compared and imported as it is, with
// the names every other output uses.
TEST_F(CliTest, ADumpIsComparedAndImportedWithTheNamesOfEveryOtherOutput) {
    ASSERT_EQ(Sim({"machine", "set", "MaxMicVol", "30"}).code, 0);
    const Outcome dump = Sim({"dump", "--json"});
    ASSERT_EQ(dump.code, 0) << dump;
    const std::string saved = (dir / "dump.json").string();
    std::ofstream(saved) << dump.out;

    Outcome o = Sim({"diff", saved, "device"});
    EXPECT_EQ(o.code, 0) << "a dump is the same as the amplifier it came from: " << o;
    ASSERT_EQ(Sim({"set", "MicGEQ.3", "60"}).code, 0);
    o = Sim({"diff", saved, "device"});
    EXPECT_EQ(o.code, 1) << o;
    EXPECT_TRUE(Contains(o.out, "MicGEQ.3: ")) << o;
    o = Sim({"import", saved});
    ASSERT_EQ(o.code, 0) << o;
    EXPECT_EQ(Sim({"diff", "device", saved}).code, 0) << "the dump was imported whole";

    // Every "Name = value" line of the text outputs is a member of the document with that raw value.
    std::string lines = Sim({"dump"}).out + Sim({"machine"}).out + Sim({"ir", "show"}).out;
    const std::regex line("^([A-Za-z_.0-9]+) = (\\d+)$", std::regex::multiline);
    int checked = 0;
    for (auto it = std::sregex_iterator(lines.begin(), lines.end(), line); it != std::sregex_iterator();
         ++it) {
        const std::string name = (*it)[1];
        const std::string member = name == "Mode"
                                       ? "\"Mode\": " + std::string((*it)[2]) + ","
                                       : "\"" + name + "\": {\"raw\": " + std::string((*it)[2]) + ",";
        EXPECT_TRUE(Contains(dump.out, member)) << member;
        ++checked;
    }
    EXPECT_GT(checked, 150) << "the outputs were read";
    EXPECT_TRUE(Contains(Sim({"machine"}).out, "Machine.MaxMicVol = 30\n"));
    EXPECT_EQ(Sim({"machine", "set", "Machine.MaxMicVol", "20"}).code, 0) << "the output's name is taken too";

    const std::string future = (dir / "future.json").string();
    std::ofstream(future) << R"({"format": 2, "MicGEQ.3": 64})";
    o = Sim({"import", future});
    EXPECT_EQ(o.code, 3) << o;
    EXPECT_TRUE(Contains(o.err, "\"format\" is 2, and this program reads format 1")) << o;
}

// diff answers with its exit code, as diff(1): 0 the same, 1 different, 2 not compared.
TEST_F(CliTest, DiffTellsTroubleApartFromADifference) {
    const std::string preset = (dir / "p.json").string();
    std::ofstream(preset) << R"({"MicGEQ.3": 64})";
    const std::string refused = (dir / "refused.json").string();
    std::ofstream(refused) << R"({"MicGEQ.3": 640})";
    struct Case {
        std::vector<std::string> args;
        int code;
    };
    const Case cases[] = {
        {{"--simulate", "diff", preset, preset}, 0},
        {{"diff", preset, "device"}, 2},  // no amplifier
        {{"--simulate=silent", "diff", preset, "device"}, 2},
        {{"--simulate", "diff", refused, "device"}, 2},
        {{"--simulate", "diff", preset, (dir / "missing.vqm").string()}, 2},
        {{"diff", preset}, 2},
    };
    for (const Case& c : cases) {
        const Outcome o = Run(c.args);
        EXPECT_EQ(o.code, c.code) << o;
    }
}

// Ctrl+C ends the command by the signal once it has cleaned up, so a shell running it in a loop stops too.
TEST_F(CliTest, AnInterruptEndsTheProgramByItsSignalAndStopsAShellLoop) {
    const pid_t levels = Start(dir, {"--simulate", "levels"});
    EXPECT_TRUE(WaitForText(dir / "stdout.txt", "mic1=")) << "no levels shown";
    kill(levels, SIGINT);
    const Outcome o = Finish(dir, levels);
    EXPECT_TRUE(o.signalled) << o;
    EXPECT_EQ(o.code, 128 + SIGINT) << o;

    // The terminal's Ctrl+C goes to the whole foreground process group: the shell and the program.
    const fs::path marks = dir / "loop.txt";
    const std::string script = std::string("for i in 1 2 3; do '") + VARNOTH_CLI_PATH +
                               "' --simulate levels >> '" + marks.string() + "'; echo next >> '" +
                               marks.string() + "'; done";
    const pid_t shell = fork();
    if (shell == 0) {
        setpgid(0, 0);
        execl("/bin/bash", "bash", "-c", script.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    setpgid(shell, shell);
    EXPECT_TRUE(WaitForText(marks, "mic1=")) << "the loop shows no levels";
    kill(-shell, SIGINT);
    int status = 0;
    waitpid(shell, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << "the shell ends by the interrupt too";
    EXPECT_FALSE(Contains(ReadText(marks), "next")) << "the loop went on: " << ReadText(marks);
}

TEST_F(CliTest, MachineSettingsAndRemoteKeysAreAppliedAndKept) {
    Outcome o = Sim({"machine", "set", "MaxMicVol", "30", "Lock_MicVol", "1", "PowerMusicVol", "off"});
    ASSERT_EQ(o.code, 0) << o;
    o = Sim({"machine"});
    EXPECT_TRUE(Contains(o.out, "MaxMicVol = 30\n")) << o;
    EXPECT_TRUE(Contains(o.out, "Lock_MicVol = 1\n")) << o;
    EXPECT_TRUE(Contains(o.out, "PowerMusicVol = 255\n")) << o;

    o = Sim({"--sim-press", "0x42", "ir", "learn", "5"});
    ASSERT_EQ(o.code, 0) << o;
    EXPECT_TRUE(Contains(o.out, "IR.Key.5 = 66\n")) << o;
    o = Sim({"ir", "show"});
    EXPECT_TRUE(Contains(o.out, "IR.Key.5 = 66\n")) << o;
    EXPECT_TRUE(Contains(o.out, "IR.SystemCode = 90\n")) << o;
}

TEST_F(CliTest, CtrlCCancelsLearningAKey) {
    const pid_t child = Start(dir, {"--simulate", "ir", "learn", "7"});
    EXPECT_TRUE(WaitForText(dir / "stdout.txt", "Learning key 7")) << "learning never began";
    kill(child, SIGINT);
    const Outcome o = Finish(dir, child);
    EXPECT_EQ(o.code, 130) << o;
    EXPECT_EQ(o.err, "varnoth-cli: Learning of key 7 cancelled.\n") << o;
}

// Ctrl+C during a transfer stops it at the next report: the amplifier is never told to run what it holds.
TEST_F(CliTest, CtrlCStopsAnUpgradeWithoutTheClosingPair) {
    const pid_t child = StartTraced(dir, {"--simulate=slow-upgrade", "upgrade"});
    EXPECT_TRUE(WaitForText(dir / "stderr.txt", ">Write: 2 2 0 56 ")) << "the transfer never began";
    kill(child, SIGINT);
    const Outcome o = Finish(dir, child);
    EXPECT_EQ(o.code, 130) << o;
    EXPECT_TRUE(Contains(o.err, "varnoth-cli: Interrupted. The firmware transfer was stopped at page ")) << o;
    EXPECT_FALSE(Contains(o.err, ">Write: 2 2 228 0 3 ")) << "no closing pair after the stop: " << o;
    EXPECT_TRUE(Contains(o.err, ">Write: 2 3 0 0 1 ")) << "the amplifier is told PC control ended: " << o;
}

// The virtual amplifier is unplugged after its 40th report (page 3 of the test image's 12): the transfer
// ends at once with the removal told, and the amplifier is never told to run what it holds.
TEST_F(CliTest, AnUnplugMidUpgradeIsReportedAndNothingIsClosed) {
    const pid_t child = StartTraced(dir, {"--simulate=unplugged-upgrade", "upgrade"});
    // Only a guard against a hang: the outcome is what is checked.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int status = 0;
    pid_t ended = 0;
    while ((ended = waitpid(child, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (ended != child) {
        kill(child, SIGKILL);
        FAIL() << "varnoth-cli upgrade did not end after the unplug: " << Finish(dir, child);
    }
    const Outcome o{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(dir / "stdout.txt"),
                    ReadText(dir / "stderr.txt")};
    EXPECT_EQ(o.code, 1) << o;
    EXPECT_TRUE(Contains(o.err,
                         "varnoth-cli: The amplifier was unplugged. The amplifier went away during the "
                         "firmware transfer, at page 3 of 12 ("))
        << o;
    EXPECT_TRUE(Contains(o.err,
                         "switch it on in upgrade mode (hold ENTER while switching it on) and upgrade "
                         "again."))
        << "what to do next: " << o;
    EXPECT_FALSE(Contains(o.err, ">Write: 2 1 228 0 32 ")) << "no closing announcement: " << o;
    EXPECT_FALSE(Contains(o.err, ">Write: 2 2 228 0 3 ")) << "no closing write: " << o;
    EXPECT_TRUE(o.out.empty()) << "no success reported: " << o;
}

TEST_F(CliTest, LevelsVersionUpgradeListAndHelpWork) {
    Outcome o = Sim({"levels", "--count", "2"});
    ASSERT_EQ(o.code, 0) << o;
    EXPECT_TRUE(std::regex_match(o.out, std::regex("(mic1=\\d+ mic2=\\d+ music1=\\d+ music2=\\d+\n){2}")))
        << o;

    o = Sim({"version-check"}, "old-firmware");
    EXPECT_EQ(o.code, 0) << o;
    EXPECT_TRUE(Contains(o.out, "DeviceDate = 2011-06-15\nImageDate = 2011-11-28\nIsNeedUp = 1\n")) << o;

    o = Sim({"upgrade"}, "upgrade");
    EXPECT_EQ(o.code, 0) << o;
    EXPECT_TRUE(Contains(o.out, "(6000 bytes) was sent")) << o;
    EXPECT_TRUE(o.err.empty()) << "no progress bar off a terminal: " << o;
    o = Sim({"upgrade", VARNOTH_TEST_IMAGE}, "upgrade");
    EXPECT_EQ(o.code, 0) << o;

    o = Sim({"list"}, "upgrade");
    EXPECT_EQ(o.out, "sim:/vq317x-upgrade  0920:1210  upgrade  virtual amplifier\n") << o;

    o = Run({"set", "--help"});
    EXPECT_EQ(o.code, 0) << o;
    EXPECT_TRUE(Contains(o.out, "EffectFeedback.N (N 0..1)")) << o;
    o = Run({"--version"});
    EXPECT_EQ(o.code, 0) << o;
    EXPECT_TRUE(std::regex_match(o.out, std::regex("varnoth-cli \\d+\\.\\d+\\.\\d+\n"))) << o;
    o = Run({"--simulate", "--trace", "get", "MicVol"});
    EXPECT_EQ(o.code, 0) << o;
    EXPECT_TRUE(Contains(o.err, ">Write: 2 128 ")) << "the trace shows the reports sent: " << o;
}

}  // namespace
}  // namespace varnoth
