#include "session/ParameterStore.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "SessionHarness.h"
#include "device/Trace.h"

namespace varnoth {
namespace {

using namespace std::chrono_literals;
using test::MakeReport;
using test::SessionHarness;
using test::Write;

class StoreTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(h.Connect()); }

    // Delivers a reply to the store as the reader thread does, and waits until it is stored.
    void Reply(const Report& report) {
        h.wire->Inject(report);
        ASSERT_TRUE(h.wire->WaitUntilIdle());
    }

    SessionHarness h;
    DeviceSession& s = *h.session;
};

TEST_F(StoreTest, SettersStoreByTheirRuleAndWriteEveryRegisterLowerChannelFirst) {
    struct Case {
        const char* what;
        std::function<void(DeviceSession&)> set;
        std::function<int(const DeviceSession&)> get;
        int stored;
        std::vector<Write> writes;
    };
    const Case cases[] = {
        {"volume is written +40",
         [](DeviceSession& d) { d.SetMicVol(36); },
         [](const DeviceSession& d) { return d.GetMicVol(); },
         36,
         {{10, 32, 0, 76}, {10, 32, 1, 76}}},
        {"volume +40 wraps",
         [](DeviceSession& d) { d.SetCenterVol(250); },
         [](const DeviceSession& d) { return d.GetCenterVol(); },
         250,
         {{10, 32, 4, 34}}},
        {"sub volume",
         [](DeviceSession& d) { d.SetSubVol(0); },
         [](const DeviceSession& d) { return d.GetSubVol(); },
         0,
         {{10, 32, 5, 40}}},
        {"PEQ on is 0x7F",
         [](DeviceSession& d) { d.SetPEQOn_Mic(5); },
         [](const DeviceSession& d) { return d.GetPEQOn_Mic(); },
         0x7F,
         {{9, 0, 0, 0x7F}, {9, 0, 1, 0x7F}}},
        {"PEQ off is 0",
         [](DeviceSession& d) { d.SetPEQOn_Music(0); },
         [](const DeviceSession& d) { return d.GetPEQOn_Music(); },
         0,
         {{9, 0, 2, 0}, {9, 0, 3, 0}}},
        {"sub phase stores 1, writes the byte",
         [](DeviceSession& d) { d.SetSubPhase180(2); },
         [](const DeviceSession& d) { return d.GetSubPhase180(); },
         1,
         {{11, 5, 0, 2}}},
        {"compressor on is unchanged",
         [](DeviceSession& d) { d.SetCompressOn_Music(1); },
         [](const DeviceSession& d) { return d.GetCompressOn_Music(); },
         1,
         {{5, 0, 2, 1}, {5, 0, 3, 1}}},
        {"input gain",
         [](DeviceSession& d) { d.SetInputGain_Mic(100); },
         [](const DeviceSession& d) { return d.GetInputGain_Mic(); },
         100,
         {{8, 4, 0, 100}, {8, 4, 1, 100}}},
        {"routing to main R of music",
         [](DeviceSession& d) { d.SetChToMainR_Music(7); },
         [](const DeviceSession& d) { return d.GetChToMainR_Music(); },
         7,
         {{8, 7, 2, 7}, {8, 7, 3, 7}}},
        {"effect 2 feedback",
         [](DeviceSession& d) { d.SetEffectFeedback(1, 9); },
         [](const DeviceSession& d) { return d.GetEffectFeedback(1); },
         9,
         {{3, 6, 1, 9}}},
        {"GEQ band takes the low byte",
         [](DeviceSession& d) { d.SetMusicGEQ(3, 0x155); },
         [](const DeviceSession& d) { return d.GetMusicGEQ(3); },
         0x55,
         {{10, 3, 2, 0x55}, {10, 3, 3, 0x55}}},
        {"centre GEQ is mono",
         [](DeviceSession& d) { d.SetCenterGEQ(9, 60); },
         [](const DeviceSession& d) { return d.GetCenterGEQ(9); },
         60,
         {{10, 9, 4, 60}}},
        {"high-mid Q of music skips index 12",
         [](DeviceSession& d) { d.SetPEQHMidQ_Music(3); },
         [](const DeviceSession& d) { return d.GetPEQHMidQ_Music(); },
         3,
         {{9, 14, 2, 3}, {9, 14, 3, 3}}},
        {"sub resonance",
         [](DeviceSession& d) { d.SetSubResonance(12); },
         [](const DeviceSession& d) { return d.GetSubResonance(); },
         12,
         {{11, 7, 0, 12}}},
    };
    for (const Case& c : cases) {
        h.wire->ClearSent();
        c.set(s);
        EXPECT_EQ(c.get(s), c.stored) << c.what;
        EXPECT_EQ(h.Writes(), c.writes) << c.what;
    }
}

TEST_F(StoreTest, ABandOrEffectOutOfRangeWritesNothing) {
    const auto before = s.GetFileBlock();
    s.SetMicGEQ(10, 1);
    s.SetSubGEQ(-1, 1);
    s.SetEffectLevel(2, 1);
    s.SetEffectPreset(-1, 1);
    EXPECT_TRUE(h.wire->Sent().empty());
    EXPECT_EQ(s.GetFileBlock(), before);
    EXPECT_EQ(s.GetMicGEQ(10), 0);
    EXPECT_EQ(s.GetEffectLevel(2), 0);
}

TEST_F(StoreTest, CompressorPresetSetsItsFiveValuesOrStopsAboveEight) {
    s.SetCompressPreset_Music(9);
    EXPECT_EQ(s.GetCompressPreset_Music(), 9);
    EXPECT_TRUE(h.wire->Sent().empty());

    s.SetCompressPreset_Mic(2);
    EXPECT_EQ(s.GetCompressPreset_Mic(), 2);
    const std::vector<Write> expected{{5, 1, 0, 64}, {5, 1, 1, 64}, {5, 2, 0, 0},  {5, 2, 1, 0},
                                      {5, 3, 0, 22}, {5, 3, 1, 22}, {5, 4, 0, 84}, {5, 4, 1, 84},
                                      {5, 5, 0, 20}, {5, 5, 1, 20}};
    EXPECT_EQ(h.Writes(), expected);
    EXPECT_EQ(s.GetCompressThreshold_Mic(), 22);
    EXPECT_EQ(s.GetCompressBoost_Mic(), 20);
}

// Every row of the preset table, on both paths, as the store keeps it and the device receives it.
TEST_F(StoreTest, EveryCompressorPresetRowOnBothPaths) {
    struct Row {
        int threshold, ratio, attack, release, boost;
    };
    const Row rows[] = {
        {0, 0, 0, 0, 0},      {16, 64, 64, 0, 18},  {22, 84, 64, 0, 20},
        {16, 100, 64, 0, 40}, {11, 110, 64, 0, 30}, {8, 117, 64, 0, 30},
        {64, 127, 64, 0, 10}, {32, 127, 0, 0, 30},  {16, 127, 0, 0, 32},
    };
    for (const bool mic : {true, false}) {
        for (int preset = 0; preset <= 8; ++preset) {
            SCOPED_TRACE((mic ? "microphone preset " : "music preset ") + std::to_string(preset));
            h.wire->ClearSent();
            mic ? s.SetCompressPreset_Mic(static_cast<std::uint8_t>(preset))
                : s.SetCompressPreset_Music(static_cast<std::uint8_t>(preset));
            const Row& r = rows[preset];
            const int channel = mic ? 0 : 2;
            std::vector<Write> expected;
            const int order[][2] = {
                {1, r.attack}, {2, r.release}, {3, r.threshold}, {4, r.ratio}, {5, r.boost}};
            for (const auto& [index, value] : order) {
                expected.push_back({5, index, channel, value});
                expected.push_back({5, index, channel + 1, value});
            }
            EXPECT_EQ(h.Writes(), expected);
            const int stored[] = {mic ? s.GetCompressThreshold_Mic() : s.GetCompressThreshold_Music(),
                                  mic ? s.GetCompressRatio_Mic() : s.GetCompressRatio_Music(),
                                  mic ? s.GetCompressAttackTime_Mic() : s.GetCompressAttackTime_Music(),
                                  mic ? s.GetCompressReleaseTime_Mic() : s.GetCompressReleaseTime_Music(),
                                  mic ? s.GetCompressBoost_Mic() : s.GetCompressBoost_Music()};
            EXPECT_EQ(stored[0], r.threshold);
            EXPECT_EQ(stored[1], r.ratio);
            EXPECT_EQ(stored[2], r.attack);
            EXPECT_EQ(stored[3], r.release);
            EXPECT_EQ(stored[4], r.boost);
        }
    }
}

TEST_F(StoreTest, ResetsWriteTheirBankInOrder) {
    s.ResetMicMode1GEQ();
    const std::vector<Write> mode1{{10, 0, 0, 0x32}, {10, 0, 1, 0x32}, {10, 1, 0, 0x32}, {10, 1, 1, 0x32},
                                   {10, 2, 0, 0x42}, {10, 2, 1, 0x42}, {10, 9, 0, 0x43}, {10, 9, 1, 0x43},
                                   {10, 3, 0, 0x40}, {10, 3, 1, 0x40}, {10, 4, 0, 0x40}, {10, 4, 1, 0x40},
                                   {10, 5, 0, 0x40}, {10, 5, 1, 0x40}, {10, 6, 0, 0x40}, {10, 6, 1, 0x40},
                                   {10, 7, 0, 0x40}, {10, 7, 1, 0x40}, {10, 8, 0, 0x40}, {10, 8, 1, 0x40}};
    EXPECT_EQ(h.Writes(), mode1);
    EXPECT_EQ(s.GetMicGEQ(9), 0x43);

    h.wire->ClearSent();
    s.SetPEQOn_Music(0);
    s.SetPEQLowGain_Music(1);
    h.wire->ClearSent();
    s.SetPEQ_Reset_Music();
    std::vector<Write> peq;
    for (int index : {4, 5, 6, 7, 8, 9, 10, 11, 13, 14}) {
        peq.push_back({9, index, 2, 0x40});
        peq.push_back({9, index, 3, 0x40});
    }
    EXPECT_EQ(h.Writes(), peq);
    EXPECT_EQ(s.GetPEQLowGain_Music(), 0x40);
    EXPECT_EQ(s.GetPEQOn_Music(), 0) << "the reset leaves the switch alone";

    h.wire->ClearSent();
    s.ResetSubGEQ();
    std::vector<Write> sub;
    for (int band = 0; band < 10; ++band) {
        sub.push_back({10, band, 5, 0x40});
    }
    EXPECT_EQ(h.Writes(), sub);
}

TEST_F(StoreTest, WriteAllOfAFreshStoreSendsEveryRegisterInOrderAndNoVolume) {
    std::vector<Write> expected;
    auto stereo = [&](int block, int index, int channel, int value) {
        expected.push_back({block, index, channel, value});
        expected.push_back({block, index, channel + 1, value});
    };
    const std::pair<int, int> inputs[] = {{4, 0}, {4, 2}, {5, 0}, {5, 2}, {8, 0}, {9, 0}};
    for (auto [index, channel] : inputs) {
        stereo(8, index, channel, 0);
    }
    for (int channel : {0, 2}) {
        for (int index = 0; index <= 5; ++index) {
            stereo(5, index, channel, 0);
        }
    }
    for (int channel : {0, 2}) {
        stereo(9, 0, channel, 0x7F);
        for (int index : {4, 5, 6, 7, 8, 9, 10, 11, 13, 14}) {
            stereo(9, index, channel, 0x40);
        }
    }
    for (int effect : {0, 1}) {
        for (int p = 0; p <= 8; ++p) {
            expected.push_back({3, p, effect, 0});
        }
    }
    for (int band = 0; band < 10; ++band) {
        stereo(10, band, 0, 0x40);
        stereo(10, band, 2, 0x40);
        expected.push_back({10, band, 4, 0x40});
        expected.push_back({10, band, 5, 0x40});
    }
    for (int index : {4, 6, 5, 7}) {
        expected.push_back({11, index, 0, 0});
    }

    s.CK750_WriteAll();
    EXPECT_EQ(h.Writes(), expected);
    EXPECT_EQ(h.wire->Sent().size(), expected.size());
    EXPECT_EQ(s.GetPEQOn_Mic(), 0x7F) << "the default 0x40 counts as on";
}

TEST_F(StoreTest, ReadAllAsksForTheFiftyRegistersInOrder) {
    std::vector<Report> expected;
    auto read = [&](int block, int index) { expected.push_back(MakeReport({2, 0x0b, block, index, 8})); };
    for (int i = 4; i <= 9; ++i)
        read(8, i);
    for (int i = 0; i <= 5; ++i)
        read(5, i);
    for (int i : {0, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14})
        read(9, i);
    for (int i = 0; i <= 8; ++i)
        read(3, i);
    read(10, 32);
    for (int i = 0; i <= 9; ++i)
        read(10, i);
    for (int i = 1; i <= 7; ++i)
        read(11, i);
    ASSERT_EQ(expected.size(), 50u);

    s.CK750_ReadAll();
    EXPECT_EQ(h.wire->Sent(), expected);
}

TEST_F(StoreTest, LevelAndEffectRequestsHaveTheirFixedArguments) {
    s.ReadInputLevel();
    s.ReadEqLevel();
    s.ReadEffect();
    std::vector<Report> expected{MakeReport({2, 0x0a, 8, 0x30, 0}), MakeReport({2, 0x09, 10, 0x30, 0, 0})};
    for (int i = 1; i <= 8; ++i) {
        expected.push_back(MakeReport({2, 0x0b, 3, i, 8}));
    }
    EXPECT_EQ(h.wire->Sent(), expected);
}

TEST_F(StoreTest, ArrayRepliesAreStoredByTheRegisterMap) {
    Reply(MakeReport({0, 0x0b, 8, 6, 10, 11, 20, 21}));
    EXPECT_EQ(s.GetChToMainL_Mic(), 10);
    EXPECT_EQ(s.GetChToMainL_Music(), 20);
    EXPECT_EQ(s.GetChToMainR_Mic(), 0);

    Reply(MakeReport({0, 0x0b, 10, 32, 40, 41, 50, 51, 76, 0}));
    EXPECT_EQ(s.GetMicVol(), 0);
    EXPECT_EQ(s.GetMusicVol(), 10);
    EXPECT_EQ(s.GetCenterVol(), 36);
    EXPECT_EQ(s.GetSubVol(), 216) << "register 0 reads back as (0 - 40) mod 256";

    Reply(MakeReport({0, 0x0b, 3, 6, 5, 6}));
    EXPECT_EQ(s.GetEffectFeedback(0), 5);
    EXPECT_EQ(s.GetEffectFeedback(1), 6);

    Reply(MakeReport({0, 0x0b, 10, 3, 60, 61, 62, 63, 64, 65}));
    EXPECT_EQ(s.GetMicGEQ(3), 60);
    EXPECT_EQ(s.GetMusicGEQ(3), 62);
    EXPECT_EQ(s.GetCenterGEQ(3), 64);
    EXPECT_EQ(s.GetSubGEQ(3), 65);

    Reply(MakeReport({0, 0x0b, 9, 0, 0x40, 0, 0x7F}));
    EXPECT_EQ(s.GetPEQOn_Mic(), 0x40) << "a read-back is stored as the device holds it";
    EXPECT_EQ(s.GetPEQOn_Music(), 0x7F);

    Reply(MakeReport({0, 0x0b, 5, 5, 30, 0, 31}));
    EXPECT_EQ(s.GetCompressBoost_Mic(), 30);
    EXPECT_EQ(s.GetCompressBoost_Music(), 31);

    Reply(MakeReport({0, 0x0b, 11, 5, 3}));
    EXPECT_EQ(s.GetSubPhase180(), 3);

    const auto before = s.GetFileBlock();
    for (const Report& r :
         {MakeReport({0, 0x0b, 10, 0x30, 9, 9, 9, 9, 9, 9}), MakeReport({0, 0x0b, 10, 12, 9, 9, 9, 9, 9, 9}),
          MakeReport({0, 0x0b, 10, 33, 9, 9, 9, 9, 9, 9}), MakeReport({0, 0x0b, 11, 1, 9}),
          MakeReport({0, 0x0b, 9, 12, 9, 9, 9}), MakeReport({0, 0x0b, 7, 4, 9, 9, 9})}) {
        Reply(r);
    }
    EXPECT_EQ(s.GetFileBlock(), before) << "registers without a field changed the store";
}

TEST_F(StoreTest, SingleReadRepliesFillTheLevelWordOnlyForTheLevelRegister) {
    std::vector<std::string> traced;
    const TraceSink previous = SetTraceSink([&](const std::string& line) { traced.push_back(line); });
    Reply(MakeReport({0, 0x0a, 8, 0x31, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 9, 9, 9}));
    std::uint8_t level[4] = {7, 7, 7, 7};
    s.GetPeakData(level);
    EXPECT_EQ(std::vector<int>(level, level + 4), (std::vector<int>{0, 0, 0, 0}));

    Reply(MakeReport({0, 0x0a, 8, 0x30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4}));
    s.GetPeakData(level);
    EXPECT_EQ(std::vector<int>(level, level + 4), (std::vector<int>{1, 2, 3, 4}));

    Reply(MakeReport({0, 0x0a, 10, 0x30}));
    SetTraceSink(previous);
    EXPECT_NE(std::find(traced.begin(), traced.end(), "Read eq peak \n"), traced.end());
}

TEST_F(StoreTest, TheFileBlockHoldsTheDefaultsInFileOrderAndLoadsWithoutSending) {
    const auto block = s.GetFileBlock();
    for (std::size_t i = 0; i < block.size(); ++i) {
        const bool flat = (i >= 24 && i <= 45) || (i >= 64 && i <= 67) || i >= 72;
        EXPECT_EQ(block[i], flat ? 0x40 : 0) << "position " << i;
    }
    std::array<std::uint8_t, kFileBlockSize> loaded{};
    for (std::size_t i = 0; i < loaded.size(); ++i) {
        loaded[i] = static_cast<std::uint8_t>(i * 3);
    }
    s.SetFileBlock(loaded);
    EXPECT_EQ(s.GetFileBlock(), loaded);
    EXPECT_EQ(s.GetInputGain_Music(), 3);
    EXPECT_EQ(s.GetSubGEQ(9), static_cast<std::uint8_t>(111 * 3));
    EXPECT_TRUE(h.wire->Sent().empty());
}

}  // namespace
}  // namespace varnoth
