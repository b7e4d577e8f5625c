// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/SessionReplies.h"

#include <array>

#include "device/Trace.h"
#include "session/DeviceIdentity.h"
#include "session/DeviceState.h"
#include "session/SessionStatus.h"
#include "session/WriteLedger.h"

namespace varnoth {
namespace {

static_assert(ReplySink::kMachineRecordSize == MachineSettings::kRecordSize);
static_assert(ReplySink::kIrRecordSize == RemoteCodes::kRecordSize);

// The master volumes in store order: mic, music, centre, sub.
std::array<std::uint8_t, 4> MasterVolumes(const ParameterStore& store) {
    return {store.Value(pos::MicVol), store.Value(pos::MusicVol), store.Value(pos::CenterVol),
            store.Value(pos::SubVol)};
}

bool IsMasterVolumeRead(const wire::RegisterArrayReply& reply) {
    const RegisterEntry& volumes = StoreRegisterMap()[pos::MicVol];
    return reply.at == wire::RegisterAddress{volumes.block, volumes.index};
}

}  // namespace

SessionReplies::SessionReplies(DeviceState& state, WriteLedger& ledger, DeviceIdentity& identity,
                               SessionStatus& status)
    : m_state(state), m_ledger(ledger), m_identity(identity), m_status(status) {}

void SessionReplies::OnCurEffectMode(std::uint8_t mode) {
    m_state.StoreMemoryMode(mode);
}

void SessionReplies::OnLevels(const wire::LevelsReply& reply) {
    m_state.Store().StoreLevels(reply);
}

void SessionReplies::OnRegisterArray(const wire::RegisterArrayReply& reply) {
    ParameterStore& store = m_state.Store();
    if (!IsMasterVolumeRead(reply)) {
        store.StoreRegisterArray(reply);
        return;
    }
    const auto before = MasterVolumes(store);
    store.StoreRegisterArray(reply);
    const auto after = MasterVolumes(store);
    unsigned followed = 0;
    for (std::size_t volume = 0; volume < before.size(); ++volume) {
        followed |= before[volume] != after[volume] ? 1U << volume : 0U;
    }
    // A synchronisation is no following: what it reads is the panel's starting point.
    if (followed == 0 || !m_status.synchronised.load()) {
        return;
    }
    m_followedVolumes.fetch_or(followed);
    if (SessionObserver* observer = m_status.Observer()) {
        observer->OnVolumesFollowed();
    }
}

void SessionReplies::OnMicControlSub(std::uint8_t time, std::uint8_t rate) {
    // A setting the user chose or a file brought is newer than what the amplifier reports now.
    if (m_ledger.ReplyIsOlder(WriteLedger::Record::MicControlSub)) {
        return;
    }
    m_state.StoreMicControlSub(time, rate);
}

void SessionReplies::OnKeyStudied(std::uint8_t systemCode, std::uint8_t keyIndex, std::uint8_t keyCode) {
    // Keys are numbered 1..15; an index beyond the record answers no key we asked for.
    if (keyIndex >= RemoteCodes::kRecordSize) {
        Trace("studied key index %d out of range, ignored\n", keyIndex);
        return;
    }
    m_state.Remote().SetSysKey(systemCode);
    m_state.Remote().SetKey(keyIndex, keyCode);
    if (SessionObserver* observer = m_status.Observer()) {
        observer->OnKeyStudied(keyCode);
    }
}

void SessionReplies::OnIrRecord(std::span<const std::uint8_t, kIrRecordSize> record) {
    if (m_ledger.ReplyIsOlder(WriteLedger::Record::Ir)) {
        return;
    }
    m_state.Remote().SetAllKey(record.data(), static_cast<int>(record.size()));
}

void SessionReplies::OnDevName(const std::string& name) {
    m_identity.SetName(name);
}

void SessionReplies::OnDevDate(const std::string& date) {
    m_identity.SetDate(date);
}

void SessionReplies::OnMachineRecord(std::span<const std::uint8_t, kMachineRecordSize> record) {
    if (m_ledger.ReplyIsOlder(WriteLedger::Record::Machine)) {
        return;
    }
    m_state.Machine().Machine_SetBuf(record.data());
}

}  // namespace varnoth
