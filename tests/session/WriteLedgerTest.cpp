// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/WriteLedger.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "FakeTransport.h"
#include "NullReplySink.h"
#include "device/DeviceLink.h"
#include "device/Opcodes.h"
#include "device/ReplySink.h"

namespace varnoth {
namespace {

using namespace std::chrono_literals;
using test::FakeTransport;
using test::FakeWire;
using test::MakeReport;
using Record = WriteLedger::Record;

Report WriteOf(std::size_t position, int value) {
    const RegisterEntry& entry = StoreRegisterMap()[position];
    return MakeReport({2, op::WriteRegister, entry.block, entry.index, entry.channel, value});
}

Report ReadOf(std::size_t position) {
    const RegisterEntry& entry = StoreRegisterMap()[position];
    return MakeReport({2, op::ReadRegisterArray, entry.block, entry.index, 8});
}

// A report the link sent by itself, queued and sent.
void Carried(WriteLedger& ledger, const Report& report) {
    ledger.OnQueued(report);
    ledger.OnSent(report);
    ledger.OnUnqueued(report);
}

// One case per kind of write: what sets the value, whether a read reply is refused then (older), what
// makes the amplifier's word newer again, and whether a reply is accepted after it.
TEST(WriteLedgerTest, EachKindOfWriteRefusesAnOlderReplyAndAcceptsANewerOne) {
    struct Case {
        const char* what;
        std::function<void(WriteLedger&)> set;
        std::function<bool(const WriteLedger&)> refused;
        std::function<void(WriteLedger&)> newer;
    };
    const std::size_t volume = pos::MicVol;
    const std::size_t preset = pos::OfEffect(0, pos::EffectPreset);
    const Report micSub = MakeReport({2, op::SetMicControlSub, 1, 10, 3});
    const Report readMicSub = MakeReport({2, op::ReadMicControlSub});
    const auto registerRefused = [](std::size_t position) {
        return [position](const WriteLedger& l) { return l.ReplyIsOlder(position); };
    };
    const auto recordRefused = [](Record record) {
        return [record](const WriteLedger& l) { return l.ReplyIsOlder(record); };
    };
    const Case cases[] = {
        {"an edit waiting in the queue", [&](WriteLedger& l) { l.OnQueued(WriteOf(volume, 60)); },
         registerRefused(volume),
         [&](WriteLedger& l) {
             l.OnSent(WriteOf(volume, 60));
             l.OnUnqueued(WriteOf(volume, 60));
             Carried(l, ReadOf(volume));
         }},
        {"an edit sent after the last read went out",
         [&](WriteLedger& l) {
             Carried(l, ReadOf(volume));
             Carried(l, WriteOf(volume, 60));
         },
         registerRefused(volume), [&](WriteLedger& l) { Carried(l, ReadOf(volume)); }},
        {"the second channel of a stereo pair",
         [&](WriteLedger& l) {
             Report second = WriteOf(volume, 60);
             second[4] = static_cast<std::uint8_t>(second[4] + 1);
             Carried(l, second);
         },
         [&](const WriteLedger& l) {
             const RegisterEntry& e = StoreRegisterMap()[volume];
             return l.WriteIsNewer(e.block, e.index, e.channel + 1) && !l.ReplyIsOlder(volume);
         },
         [&](WriteLedger& l) { Carried(l, ReadOf(volume)); }},
        {"an effect preset written as a command alone",
         [&](WriteLedger& l) { l.OnQueued(WriteOf(preset, 5)); }, registerRefused(preset),
         [&](WriteLedger& l) {
             l.OnSent(WriteOf(preset, 5));
             l.OnUnqueued(WriteOf(preset, 5));
             Carried(l, ReadOf(preset));
         }},
        {"the mic-controls-sub setting waiting", [&](WriteLedger& l) { l.OnQueued(micSub); },
         recordRefused(Record::MicControlSub),
         [&](WriteLedger& l) {
             l.OnSent(micSub);
             l.OnUnqueued(micSub);
             Carried(l, readMicSub);
         }},
        {"the mic-controls-sub setting sent after its last read",
         [&](WriteLedger& l) {
             Carried(l, readMicSub);
             Carried(l, micSub);
         },
         recordRefused(Record::MicControlSub), [&](WriteLedger& l) { Carried(l, readMicSub); }},
        {"a file's byte held for the next whole-set write",
         [&](WriteLedger& l) {
             l.HoldForNextWriteAll(volume);
             Carried(l, ReadOf(volume));
         },
         registerRefused(volume), [&](WriteLedger& l) { l.ReleaseSentBy(volume, l.AskWriteAll()); }},
        {"a file's mic-controls-sub setting",
         [&](WriteLedger& l) {
             l.HoldForNextWriteAll(Record::MicControlSub);
             Carried(l, readMicSub);
         },
         recordRefused(Record::MicControlSub),
         [&](WriteLedger& l) { l.ReleaseSentBy(Record::MicControlSub, l.AskWriteAll()); }},
        {"a file's machine record", [&](WriteLedger& l) { l.HoldForNextWriteAll(Record::Machine); },
         recordRefused(Record::Machine),
         [&](WriteLedger& l) { l.ReleaseSentBy(Record::Machine, l.AskWriteAll()); }},
        {"a file's IR record", [&](WriteLedger& l) { l.HoldForNextWriteAll(Record::Ir); },
         recordRefused(Record::Ir), [&](WriteLedger& l) { l.ReleaseSentBy(Record::Ir, l.AskWriteAll()); }},
        {"a hold of the last connection", [&](WriteLedger& l) { l.HoldForNextWriteAll(Record::Ir); },
         recordRefused(Record::Ir), [&](WriteLedger& l) { l.ReleaseHolds(); }},
        {"an edit of the last connection", [&](WriteLedger& l) { Carried(l, WriteOf(volume, 60)); },
         registerRefused(volume), [&](WriteLedger& l) { l.OnLinkStarted(); }},
    };
    for (const Case& c : cases) {
        WriteLedger ledger;
        EXPECT_FALSE(c.refused(ledger)) << c.what << ": refused before anything was set";
        c.set(ledger);
        EXPECT_TRUE(c.refused(ledger)) << c.what << ": an older reply would replace the value set";
        c.newer(ledger);
        EXPECT_FALSE(c.refused(ledger)) << c.what << ": a newer reply is refused";
    }
}

// A whole-set write asked for before a file's bytes came may still be on its way: it does not release them;
// a user's edit of a held byte releases its hold, its write protecting it from then on.
TEST(WriteLedgerTest, AHoldEndsOnlyWithTheWholeSetWriteAskedForAfterItOrWithAnEdit) {
    WriteLedger ledger;
    const std::uint64_t earlier = ledger.AskWriteAll();
    ledger.HoldForNextWriteAll(pos::SubVol);
    ledger.HoldForNextWriteAll(Record::Machine);
    ledger.ReleaseSentBy(pos::SubVol, earlier);
    ledger.ReleaseSentBy(Record::Machine, earlier);
    EXPECT_TRUE(ledger.ReplyIsOlder(pos::SubVol)) << "released by a write-all asked for before the file";
    EXPECT_TRUE(ledger.ReplyIsOlder(Record::Machine)) << "released by a write-all asked for before the file";
    const std::uint64_t later = ledger.AskWriteAll();
    EXPECT_EQ(ledger.NextWriteAll(), later + 1);
    ledger.ReleaseSentBy(Record::Machine, later);
    EXPECT_FALSE(ledger.ReplyIsOlder(Record::Machine));
    ledger.Release(pos::SubVol);
    EXPECT_FALSE(ledger.ReplyIsOlder(pos::SubVol)) << "the edit's hold stayed";
    ledger.HoldForNextWriteAll(Record::Ir);
    ledger.Release(Record::Ir);
    EXPECT_FALSE(ledger.ReplyIsOlder(Record::Ir)) << "a record the write-all will not send stays held";
}

// The link tells the ledger what waits and what went out: a read-back whose reply comes late, while a newer
// write of its register is being sent or after it, must not replace the newer value.
TEST(WriteLedgerTest, ThroughTheLinkANewerWriteProtectsItsRegistersUntilTheyAreReadAgain) {
    auto wire = std::make_shared<FakeWire>();
    test::NullReplySink sink;
    WriteLedger ledger;
    LinkTiming timing;
    timing.replyWait = 20ms;
    DeviceLink link(sink, timing, &ledger);
    link.Attach(std::make_unique<FakeTransport>(wire));
    link.SetConnected(true);
    link.StartReader();
    link.SetCallersWait(false);
    wire->HoldTransfers(true);
    const Report mic[] = {MakeReport({2, 0x09, 10, 32, 0, 60}), MakeReport({2, 0x09, 10, 32, 1, 60})};
    ASSERT_EQ(link.WriteRegisters(mic), 61);
    ASSERT_TRUE(wire->WaitForHeldTransfer());
    EXPECT_TRUE(ledger.WriteIsNewer(10, 32, 0)) << "the write being sent";
    EXPECT_TRUE(ledger.WriteIsNewer(10, 32, 1)) << "the pair's second write, not yet sent";
    EXPECT_FALSE(ledger.WriteIsNewer(10, 32, 2));
    wire->HoldTransfers(false);
    ASSERT_TRUE(link.WaitUntilIdle(10s));
    EXPECT_TRUE(ledger.WriteIsNewer(10, 32, 0))
        << "a write that went out is newer than any read-back until its register is read again";

    const std::vector<Report> poll{MakeReport({2, 0x0a, 8, 0x30}), MakeReport({2, 0x0b, 10, 32, 8})};
    EXPECT_EQ(link.Poll(poll), 61);
    ASSERT_TRUE(link.WaitUntilIdle(10s));
    EXPECT_FALSE(ledger.WriteIsNewer(10, 32, 0)) << "the read that went out after the write";
    EXPECT_FALSE(ledger.WriteIsNewer(10, 32, 1));
}

}  // namespace
}  // namespace varnoth
