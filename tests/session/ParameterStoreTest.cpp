// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/ParameterStore.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "SessionHarness.h"
#include "session/ParameterAccess.h"
#include "session/WholeSetOrder.h"

namespace varnoth {
namespace {

using namespace std::chrono_literals;
using test::MakeReport;
using test::Write;

class StoreTest : public test::ConnectedSessionTest {
  protected:
    DeviceSession& s = *h.session;
    // The views' changes, as one subscriber takes them.
    ChangeFeed::Subscription views{s.Store().Changes(), nullptr};
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
         [](DeviceSession& d) { d.Store().SetValue(pos::MicVol, 36); },
         [](const DeviceSession& d) { return d.Store().Value(pos::MicVol); },
         36,
         {{10, 32, 0, 76}, {10, 32, 1, 76}}},
        {"volume +40 wraps",
         [](DeviceSession& d) { d.Store().SetValue(pos::CenterVol, 250); },
         [](const DeviceSession& d) { return d.Store().Value(pos::CenterVol); },
         250,
         {{10, 32, 4, 34}}},
        {"sub volume",
         [](DeviceSession& d) { d.Store().SetValue(pos::SubVol, 0); },
         [](const DeviceSession& d) { return d.Store().Value(pos::SubVol); },
         0,
         {{10, 32, 5, 40}}},
        {"PEQ on is 0x7F",
         [](DeviceSession& d) { d.Store().SetValue(pos::PEQ_Mic + pos::PEQOn, 5); },
         [](const DeviceSession& d) { return d.Store().Value(pos::PEQ_Mic + pos::PEQOn); },
         0x7F,
         {{9, 0, 0, 0x7F}, {9, 0, 1, 0x7F}}},
        {"PEQ off is 0",
         [](DeviceSession& d) { d.Store().SetValue(pos::PEQ_Music + pos::PEQOn, 0); },
         [](const DeviceSession& d) { return d.Store().Value(pos::PEQ_Music + pos::PEQOn); },
         0,
         {{9, 0, 2, 0}, {9, 0, 3, 0}}},
        {"sub phase stores 1, writes the byte",
         [](DeviceSession& d) { d.Store().SetValue(pos::SubPhase180, 2); },
         [](const DeviceSession& d) { return d.Store().Value(pos::SubPhase180); },
         1,
         {{11, 5, 0, 2}}},
        {"compressor on is unchanged",
         [](DeviceSession& d) { d.Store().SetValue(pos::Compress_Music + pos::CompressOn, 1); },
         [](const DeviceSession& d) { return d.Store().Value(pos::Compress_Music + pos::CompressOn); },
         1,
         {{5, 0, 2, 1}, {5, 0, 3, 1}}},
        {"input gain",
         [](DeviceSession& d) { d.Store().SetValue(pos::InputGain_Mic, 100); },
         [](const DeviceSession& d) { return d.Store().Value(pos::InputGain_Mic); },
         100,
         {{8, 4, 0, 100}, {8, 4, 1, 100}}},
        {"routing to main R of music",
         [](DeviceSession& d) { d.Store().SetValue(pos::ChToMainR_Music, 7); },
         [](const DeviceSession& d) { return d.Store().Value(pos::ChToMainR_Music); },
         7,
         {{8, 7, 2, 7}, {8, 7, 3, 7}}},
        {"effect 2 feedback",
         [](DeviceSession& d) { d.Store().SetValue(pos::OfEffect(1, pos::EffectFeedback), 9); },
         [](const DeviceSession& d) { return d.Store().Value(pos::OfEffect(1, pos::EffectFeedback)); },
         9,
         {{3, 6, 1, 9}}},
        {"GEQ band takes the low byte",
         [](DeviceSession& d) { d.Store().SetValue(pos::MusicGEQ + 3, 0x155); },
         [](const DeviceSession& d) { return d.Store().Value(pos::MusicGEQ + 3); },
         0x55,
         {{10, 3, 2, 0x55}, {10, 3, 3, 0x55}}},
        {"centre GEQ is mono",
         [](DeviceSession& d) { d.Store().SetValue(pos::CenterGEQ + 9, 60); },
         [](const DeviceSession& d) { return d.Store().Value(pos::CenterGEQ + 9); },
         60,
         {{10, 9, 4, 60}}},
        {"high-mid Q of music skips index 12",
         [](DeviceSession& d) { d.Store().SetValue(pos::PEQ_Music + pos::PEQHMidQ, 3); },
         [](const DeviceSession& d) { return d.Store().Value(pos::PEQ_Music + pos::PEQHMidQ); },
         3,
         {{9, 14, 2, 3}, {9, 14, 3, 3}}},
        {"sub resonance",
         [](DeviceSession& d) { d.Store().SetValue(pos::SubResonance, 12); },
         [](const DeviceSession& d) { return d.Store().Value(pos::SubResonance); },
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

TEST_F(StoreTest, APositionOutsideTheStoreWritesNothingAndReadsZero) {
    const auto before = s.Store().GetFileBlock();
    for (const std::size_t position : {kStoreSize, kStoreSize + 1, std::size_t{255}, std::size_t{100000}}) {
        s.Store().SetValue(position, 1);
        s.Store().StoreValue(position, 1);
        EXPECT_EQ(s.Store().Value(position), 0) << position;
    }
    EXPECT_TRUE(h.wire->Sent().empty());
    EXPECT_EQ(s.Store().GetFileBlock(), before);
    EXPECT_TRUE(views.Take().none()) << "nothing changed for the views";
}

// Every change of the store reaches the views once per batch: edits and replies that change a byte mark its
// position, a reply that repeats what the store holds marks nothing.
TEST_F(StoreTest, ChangesAreMarkedByPositionAndToldOncePerBatch) {
    views.Take();
    s.Store().SetValue(pos::InputGain_Mic, 70);
    Reply(MakeReport({0, 0x0b, 3, 1, 11, 22}));  // the HPF of both effects
    Reply(MakeReport({0, 0x0b, 3, 1, 11, 22}));
    const ChangeSet changes = views.Take();
    EXPECT_TRUE(changes.test(pos::InputGain_Mic));
    EXPECT_TRUE(changes.test(pos::OfEffect(0, pos::EffectHPF)));
    EXPECT_TRUE(changes.test(pos::OfEffect(1, pos::EffectHPF)));
    EXPECT_EQ(changes.count(), 3u);
    Reply(MakeReport({0, 0x0b, 3, 1, 11, 22}));
    s.Store().SetValue(pos::InputGain_Mic, 70);
    EXPECT_TRUE(views.Take().none()) << "a value the store already holds is no change";
    s.Store().Touch(pos::PEQ_Mic + pos::PEQLowF);
    EXPECT_TRUE(views.Take().test(pos::PEQ_Mic + pos::PEQLowF)) << "a touched position is told again";
}

TEST_F(StoreTest, CompressorPresetSetsItsFiveValuesOrStopsAboveEight) {
    s.Store().ChooseCompressorPreset(pos::Compress_Music, 9);
    EXPECT_EQ(s.Store().Value(pos::Compress_Music + pos::CompressPreset), 9);
    EXPECT_TRUE(h.wire->Sent().empty());

    s.Store().ChooseCompressorPreset(pos::Compress_Mic, 2);
    EXPECT_EQ(s.Store().Value(pos::Compress_Mic + pos::CompressPreset), 2);
    const std::vector<Write> expected{{5, 1, 0, 64}, {5, 1, 1, 64}, {5, 2, 0, 0},  {5, 2, 1, 0},
                                      {5, 3, 0, 22}, {5, 3, 1, 22}, {5, 4, 0, 84}, {5, 4, 1, 84},
                                      {5, 5, 0, 20}, {5, 5, 1, 20}};
    EXPECT_EQ(h.Writes(), expected);
    EXPECT_EQ(s.Store().Value(pos::Compress_Mic + pos::CompressThreshold), 22);
    EXPECT_EQ(s.Store().Value(pos::Compress_Mic + pos::CompressBoost), 20);
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
            mic ? s.Store().ChooseCompressorPreset(pos::Compress_Mic, static_cast<std::uint8_t>(preset))
                : s.Store().ChooseCompressorPreset(pos::Compress_Music, static_cast<std::uint8_t>(preset));
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
            const int stored[] = {mic ? s.Store().Value(pos::Compress_Mic + pos::CompressThreshold)
                                      : s.Store().Value(pos::Compress_Music + pos::CompressThreshold),
                                  mic ? s.Store().Value(pos::Compress_Mic + pos::CompressRatio)
                                      : s.Store().Value(pos::Compress_Music + pos::CompressRatio),
                                  mic ? s.Store().Value(pos::Compress_Mic + pos::CompressAttackTime)
                                      : s.Store().Value(pos::Compress_Music + pos::CompressAttackTime),
                                  mic ? s.Store().Value(pos::Compress_Mic + pos::CompressReleaseTime)
                                      : s.Store().Value(pos::Compress_Music + pos::CompressReleaseTime),
                                  mic ? s.Store().Value(pos::Compress_Mic + pos::CompressBoost)
                                      : s.Store().Value(pos::Compress_Music + pos::CompressBoost)};
            EXPECT_EQ(stored[0], r.threshold);
            EXPECT_EQ(stored[1], r.ratio);
            EXPECT_EQ(stored[2], r.attack);
            EXPECT_EQ(stored[3], r.release);
            EXPECT_EQ(stored[4], r.boost);
        }
    }
}

TEST_F(StoreTest, ResetsWriteTheirBankInOrder) {
    s.Store().SetMicGraphicEqOfMode1();
    const std::vector<Write> mode1{{10, 0, 0, 0x32}, {10, 0, 1, 0x32}, {10, 1, 0, 0x32}, {10, 1, 1, 0x32},
                                   {10, 2, 0, 0x42}, {10, 2, 1, 0x42}, {10, 9, 0, 0x43}, {10, 9, 1, 0x43},
                                   {10, 3, 0, 0x40}, {10, 3, 1, 0x40}, {10, 4, 0, 0x40}, {10, 4, 1, 0x40},
                                   {10, 5, 0, 0x40}, {10, 5, 1, 0x40}, {10, 6, 0, 0x40}, {10, 6, 1, 0x40},
                                   {10, 7, 0, 0x40}, {10, 7, 1, 0x40}, {10, 8, 0, 0x40}, {10, 8, 1, 0x40}};
    EXPECT_EQ(h.Writes(), mode1);
    EXPECT_EQ(s.Store().Value(pos::MicGEQ + 9), 0x43);

    h.wire->ClearSent();
    s.Store().SetValue(pos::PEQ_Music + pos::PEQOn, 0);
    s.Store().SetValue(pos::PEQ_Music + pos::PEQLowGain, 1);
    h.wire->ClearSent();
    s.Store().FlattenPeq(pos::PEQ_Music);
    std::vector<Write> peq;
    for (int index : {4, 5, 6, 7, 8, 9, 10, 11, 13, 14}) {
        peq.push_back({9, index, 2, 0x40});
        peq.push_back({9, index, 3, 0x40});
    }
    EXPECT_EQ(h.Writes(), peq);
    EXPECT_EQ(s.Store().Value(pos::PEQ_Music + pos::PEQLowGain), 0x40);
    EXPECT_EQ(s.Store().Value(pos::PEQ_Music + pos::PEQOn), 0) << "the reset leaves the switch alone";

    h.wire->ClearSent();
    s.Store().FlattenGraphicEq(pos::SubGEQ);
    std::vector<Write> sub;
    for (int band = 0; band < 10; ++band) {
        sub.push_back({10, band, 5, 0x40});
    }
    EXPECT_EQ(h.Writes(), sub);
}

// The wire order of both whole-set passes is the golden trace's (WholeSetTraceTest); the store keeps what
// the write-all sent.
TEST_F(StoreTest, TheWriteAllStoresASwitchAsItSendsIt) {
    s.Store().WriteAllRegisters(1);
    EXPECT_EQ(s.Store().Value(pos::PEQ_Mic + pos::PEQOn), 0x7F) << "the default 0x40 counts as on";
}

// The whole-set passes and the file block cover every row of the parameter table: a row added to the table is
// read, written (unless it says otherwise) and saved without a second list to keep; the amplifier's order
// names only rows there are.
TEST_F(StoreTest, TheWholeSetPassesAndTheFileBlockCoverEveryRowOfTheTable) {
    for (const char* row : WholeSetOrder::UnknownStepRows()) {
        ADD_FAILURE() << "the whole-set order names " << row << ", which is no row of the parameter table";
    }
    std::set<std::tuple<int, int, int>> written;
    s.Store().WriteAllRegisters(1);
    for (const Write& w : h.Writes()) {
        EXPECT_TRUE(written.insert({w.block, w.index, w.channel}).second)
            << "register " << w << " is written twice by the whole-set write";
    }
    h.wire->ClearSent();
    s.Store().ReadAllRegisters();
    std::set<std::pair<int, int>> read;
    for (const Report& r : h.wire->Sent()) {
        EXPECT_TRUE(read.insert({r[2], r[3]}).second)
            << "register " << int{r[2]} << ", " << int{r[3]} << " is read twice by the whole-set read";
    }
    std::set<std::tuple<int, int, int>> rows;
    for (const ParameterRef& ref : AllParameters()) {
        const RegisterEntry reg = ref.Registers();
        if (!reg.hasRegister) {
            continue;
        }
        EXPECT_TRUE(read.count({reg.block, reg.index})) << ref.Name() << " is not read back";
        if (!ref.param->inWriteAll) {
            EXPECT_FALSE(written.count({reg.block, reg.index, reg.channel})) << ref.Name() << " is written";
            continue;
        }
        for (int channel = reg.channel; channel <= reg.channel + (reg.stereo ? 1 : 0); ++channel) {
            rows.insert({reg.block, reg.index, channel});
        }
        if (ref.Position() < static_cast<int>(kFileBlockSize)) {
            auto block = s.Store().GetFileBlock();
            block[static_cast<std::size_t>(ref.Position())] ^= 1;
            s.Store().SetFileBlock(block);
            EXPECT_EQ(ReadParameter(s, ref), block[static_cast<std::size_t>(ref.Position())])
                << ref.Name() << " is not in the file block";
        }
    }
    EXPECT_EQ(written, rows) << "the whole-set write sends exactly the rows that say so";
}

TEST_F(StoreTest, LevelAndEffectRequestsHaveTheirFixedArguments) {
    s.Store().ReadInputLevel();
    s.Store().ReadEffectRegisters();
    std::vector<Report> expected{MakeReport({2, 0x0a, 8, 0x30, 0})};
    for (int i = 1; i <= 8; ++i) {
        expected.push_back(MakeReport({2, 0x0b, 3, i, 8}));
    }
    EXPECT_EQ(h.wire->Sent(), expected);
}

TEST_F(StoreTest, ArrayRepliesAreStoredByTheRegisterMap) {
    Reply(MakeReport({0, 0x0b, 8, 6, 10, 11, 20, 21}));
    EXPECT_EQ(s.Store().Value(pos::ChToMainL_Mic), 10);
    EXPECT_EQ(s.Store().Value(pos::ChToMainL_Music), 20);
    EXPECT_EQ(s.Store().Value(pos::ChToMainR_Mic), 0);

    Reply(MakeReport({0, 0x0b, 10, 32, 40, 41, 50, 51, 76, 0}));
    EXPECT_EQ(s.Store().Value(pos::MicVol), 0);
    EXPECT_EQ(s.Store().Value(pos::MusicVol), 10);
    EXPECT_EQ(s.Store().Value(pos::CenterVol), 36);
    EXPECT_EQ(s.Store().Value(pos::SubVol), 216) << "register 0 reads back as (0 - 40) mod 256";

    Reply(MakeReport({0, 0x0b, 3, 6, 5, 6}));
    EXPECT_EQ(s.Store().Value(pos::OfEffect(0, pos::EffectFeedback)), 5);
    EXPECT_EQ(s.Store().Value(pos::OfEffect(1, pos::EffectFeedback)), 6);

    Reply(MakeReport({0, 0x0b, 10, 3, 60, 61, 62, 63, 64, 65}));
    EXPECT_EQ(s.Store().Value(pos::MicGEQ + 3), 60);
    EXPECT_EQ(s.Store().Value(pos::MusicGEQ + 3), 62);
    EXPECT_EQ(s.Store().Value(pos::CenterGEQ + 3), 64);
    EXPECT_EQ(s.Store().Value(pos::SubGEQ + 3), 65);

    Reply(MakeReport({0, 0x0b, 9, 0, 0x40, 0, 0x7F}));
    EXPECT_EQ(s.Store().Value(pos::PEQ_Mic + pos::PEQOn), 0x40)
        << "a read-back is stored as the device holds it";
    EXPECT_EQ(s.Store().Value(pos::PEQ_Music + pos::PEQOn), 0x7F);

    Reply(MakeReport({0, 0x0b, 5, 5, 30, 0, 31}));
    EXPECT_EQ(s.Store().Value(pos::Compress_Mic + pos::CompressBoost), 30);
    EXPECT_EQ(s.Store().Value(pos::Compress_Music + pos::CompressBoost), 31);

    Reply(MakeReport({0, 0x0b, 11, 5, 3}));
    EXPECT_EQ(s.Store().Value(pos::SubPhase180), 3);

    const auto before = s.Store().GetFileBlock();
    for (const Report& r :
         {MakeReport({0, 0x0b, 10, 0x30, 9, 9, 9, 9, 9, 9}), MakeReport({0, 0x0b, 10, 12, 9, 9, 9, 9, 9, 9}),
          MakeReport({0, 0x0b, 10, 33, 9, 9, 9, 9, 9, 9}), MakeReport({0, 0x0b, 11, 1, 9}),
          MakeReport({0, 0x0b, 9, 12, 9, 9, 9}), MakeReport({0, 0x0b, 7, 4, 9, 9, 9})}) {
        Reply(r);
    }
    EXPECT_EQ(s.Store().GetFileBlock(), before) << "registers without a field changed the store";
}

TEST_F(StoreTest, SingleReadRepliesFillTheLevelWordOnlyForTheLevelRegister) {
    Reply(MakeReport({0, 0x0a, 8, 0x31, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 9, 9, 9}));
    std::uint8_t level[4] = {7, 7, 7, 7};
    s.Store().GetPeakData(level);
    EXPECT_EQ(std::vector<int>(level, level + 4), (std::vector<int>{0, 0, 0, 0}));

    Reply(MakeReport({0, 0x0a, 8, 0x30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4}));
    s.Store().GetPeakData(level);
    EXPECT_EQ(std::vector<int>(level, level + 4), (std::vector<int>{1, 2, 3, 4}));

    Reply(MakeReport({0, 0x0a, 10, 0x30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 5, 5, 5}));
    s.Store().GetPeakData(level);
    EXPECT_EQ(std::vector<int>(level, level + 4), (std::vector<int>{1, 2, 3, 4})) << "another block's level";
}

TEST_F(StoreTest, TheFileBlockHoldsTheDefaultsInFileOrderAndLoadsSendingOnlyWhatTheWholeSetWriteLeavesOut) {
    const auto block = s.Store().GetFileBlock();
    for (std::size_t i = 0; i < block.size(); ++i) {
        const bool flat = (i >= 24 && i <= 45) || (i >= 64 && i <= 67) || i >= 72;
        EXPECT_EQ(block[i], flat ? 0x40 : 0) << "position " << i;
    }
    std::array<std::uint8_t, kFileBlockSize> loaded{};
    for (std::size_t i = 0; i < loaded.size(); ++i) {
        loaded[i] = static_cast<std::uint8_t>(i * 3);
    }
    s.Store().SetFileBlock(loaded);
    EXPECT_EQ(s.Store().GetFileBlock(), loaded);
    EXPECT_EQ(s.Store().Value(pos::InputGain_Music), 3);
    EXPECT_EQ(s.Store().Value(pos::SubGEQ + 9), static_cast<std::uint8_t>(111 * 3));
    // The routing to the main outputs goes at once (both channels of each pair); the rest waits for the
    // whole-set write.
    std::set<std::tuple<int, int, int>> written;
    for (const Write& w : h.Writes()) {
        EXPECT_TRUE(written.insert({w.block, w.index, w.channel}).second)
            << "register " << w << " is written twice by the whole-set write";
    }
    EXPECT_EQ(written,
              (std::set<std::tuple<int, int, int>>{
                  {8, 6, 0}, {8, 6, 1}, {8, 6, 2}, {8, 6, 3}, {8, 7, 0}, {8, 7, 1}, {8, 7, 2}, {8, 7, 3}}));
    EXPECT_EQ(h.wire->Sent().size(), 8u);
}

}  // namespace
}  // namespace varnoth
