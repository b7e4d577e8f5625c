// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/sim/SimState.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "SimTestSupport.h"
#include "device/Opcodes.h"
#include "device/sim/SimTransport.h"
#include "device/sim/VirtualAmp.h"

namespace varnoth {
namespace {

namespace fs = std::filesystem;
using test::Command;

class SimStateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("varnoth-sim-state-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        path = (dir / "amp.vsim").string();
    }
    void TearDown() override { fs::remove_all(dir); }

    std::vector<char> ReadFile() {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void WriteFile(const std::vector<char>& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    fs::path dir;
    std::string path;
};

TEST_F(SimStateTest, WholeStateSurvivesSaveAndLoad) {
    auto amp = std::make_shared<VirtualAmp>();
    {
        SimTransport link(amp);
        const Report commands[] = {
            Command(op::WriteRegister, {9, 4, 2, 0x51}),
            Command(op::SaveMode, {3}),
            Command(op::WriteRegister, {3, 0, 0, 27}),
            Command(op::SetMicControlSub, {1, 10, 33}),
            Command(op::ApplyMachineSet, {0, 1, 2, 3, 4, 5, 6, 1, 0x3F, 9, 10}),
            Command(op::ApplyIRSet, {0x20, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}),
        };
        for (const Report& c : commands) {
            test::Exchange(link, c);
        }
    }
    amp->SetName("VQ580");
    amp->SetDate("2012-03-20");
    amp->SetUpgradeMode(true);
    ASSERT_EQ(amp->SaveState(path), "");

    VirtualAmp loaded;
    ASSERT_EQ(loaded.LoadState(path), "");
    EXPECT_EQ(loaded.State(), amp->State());
    EXPECT_EQ(loaded.CurrentMode(), 3);
    EXPECT_TRUE(loaded.UpgradeMode());

    ASSERT_EQ(VirtualAmp().SaveState(path), "") << "saving over an existing file";
    ASSERT_EQ(loaded.LoadState(path), "");
    EXPECT_EQ(loaded.State(), VirtualAmpState::Factory());
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST_F(SimStateTest, DamagedFilesAreRefusedAndChangeNothing) {
    ASSERT_EQ(VirtualAmp().SaveState(path), "");
    const std::vector<char> good = ReadFile();
    struct Case {
        const char* what;
        std::function<void(std::vector<char>&)> damage;
        const char* message;
    };
    const Case cases[] = {
        {"empty", [](std::vector<char>& f) { f.clear(); }, "is not a virtual amplifier state file"},
        {"other file", [](std::vector<char>& f) { f[0] = 'X'; }, "is not a virtual amplifier state file"},
        {"newer format", [](std::vector<char>& f) { f[8] = 2; }, "of format 2; this program reads format 1"},
        {"truncated", [](std::vector<char>& f) { f.resize(f.size() - 100); }, "damaged: its length is wrong"},
        {"appended", [](std::vector<char>& f) { f.push_back(0); }, "damaged: its length is wrong"},
        {"changed byte", [](std::vector<char>& f) { f[5000] ^= 0x10; },
         "damaged: its checksum does not match"},
    };
    for (const Case& c : cases) {
        std::vector<char> bytes = good;
        c.damage(bytes);
        WriteFile(bytes);
        VirtualAmp amp;
        amp.SetName("KEEP");
        const VirtualAmpState before = amp.State();
        const std::string error = amp.LoadState(path);
        EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
        EXPECT_NE(error.find(path), std::string::npos) << c.what << ": " << error;
        EXPECT_EQ(amp.State(), before) << c.what;
    }

    VirtualAmp amp;
    EXPECT_NE(amp.LoadState((dir / "missing").string()).find("cannot open"), std::string::npos);
    EXPECT_NE(amp.SaveState((dir / "no-such-dir" / "x").string()), "");
}

}  // namespace
}  // namespace varnoth
