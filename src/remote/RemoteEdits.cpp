// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/RemoteEdits.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "files/ReadablePreset.h"
#include "remote/RemoteJson.h"
#include "session/DeviceSession.h"
#include "session/MachineRules.h"
#include "session/ParameterAccess.h"

namespace varnoth {
namespace {

// The remote control's edits in the undo history: one gesture per preset, so each is a step of its own.
constexpr int kRemoteControl = 0x7E00;

constexpr std::array<const char*, 4> kVolumes{"MicVol", "MusicVol", "CenterVol", "SubVol"};

RemoteResponse Failure(int status, const std::string& reason, const std::vector<std::string>& problems = {}) {
    return {status, "application/json", RemoteJson::Error(reason, problems), {}};
}

}  // namespace

RemoteEdits::RemoteEdits(DeviceSession& session, bool offline) : m_session(session), m_offline(offline) {}

bool RemoteEdits::Refused(RemoteResponse& refusal) const {
    if (m_offline || m_session.IsConnected()) {
        return false;
    }
    refusal = Failure(503, "no amplifier is connected; nothing was written");
    return true;
}

RemoteResponse RemoteEdits::Patch(RemoteRole role, std::string_view body) {
    const ReadablePreset::Parsed parsed = ReadablePreset::Parse(body);
    if (!parsed.problems.empty()) {
        return Failure(422, "the preset was refused; nothing was written", parsed.problems);
    }
    std::vector<std::pair<ParameterRef, int>> edits;
    std::vector<std::string> outside;
    std::vector<std::string> capped;
    for (const PresetValue& value : parsed.values) {
        const std::optional<ParameterRef> ref = FindParameter(value.field->Name());
        if (!ref) {
            outside.push_back(value.field->Name() + " is not a parameter the remote control sets");
        } else if (!RemoteRights::MayWrite(role, *ref)) {
            outside.push_back(value.field->Name() + " is outside the rights of this token");
        } else if (const auto refusal =
                       MasterVolumeRefusal(m_session.GetMachineSet(), ref->param->name, value.raw)) {
            capped.push_back(refusal->english);
        } else {
            edits.emplace_back(*ref, value.raw);
        }
    }
    if (!outside.empty()) {
        return Failure(403, "the preset was refused; nothing was written", outside);
    }
    if (!capped.empty()) {
        return Failure(422, "the machine settings forbid it; nothing was written", capped);
    }
    if (RemoteResponse refusal; Refused(refusal)) {
        return refusal;
    }
    // A preset makes the amplifier (an effect's) or the store (a compressor's) set the values it stands
    // for: it goes first, so that the values given beside it win.
    std::stable_partition(edits.begin(), edits.end(), [](const std::pair<ParameterRef, int>& edit) {
        return edit.first.param->access == ParamAccess::EffectPreset ||
               edit.first.param->access == ParamAccess::CompressorPreset;
    });
    m_history.Begin(m_session, UndoSource::Of(UndoSource::Kind::Command, kRemoteControl), ++m_gesture,
                    "remote control");
    std::vector<ParameterRef> written;
    for (const auto& [ref, raw] : edits) {
        WriteParameter(m_session, ref, raw);
        written.push_back(ref);
    }
    m_history.End(m_session);
    return {200, "application/json", RemoteJson::Parameters(m_session, written, role), {}};
}

RemoteResponse RemoteEdits::Step(RemoteRole role, bool undo) {
    const EditStep* next = undo ? m_history.NextUndo() : m_history.NextRedo();
    if (next == nullptr) {
        return Failure(409, undo ? "there is nothing to undo" : "there is nothing to redo");
    }
    const std::span<const ParameterRef> parameters = WorkingSetParameters();
    std::vector<ParameterRef> changed;
    for (const std::size_t position : next->Changed()) {
        const ParameterRef& ref = parameters[position];
        if (!RemoteRights::MayWrite(role, ref)) {
            return Failure(403,
                           "the step changed " + ref.Name() + ", which is outside the rights of this token");
        }
        changed.push_back(ref);
    }
    if (RemoteResponse refusal; Refused(refusal)) {
        return refusal;
    }
    const EditStep* step = undo ? m_history.Undo(m_session) : m_history.Redo();
    ApplyStep(m_session, *step, undo);
    return {200, "application/json", RemoteJson::Parameters(m_session, changed, role), {}};
}

void RemoteEdits::Follow(unsigned volumes) {
    for (std::size_t bit = 0; bit < kVolumes.size(); ++bit) {
        if ((volumes & (1U << bit)) == 0) {
            continue;
        }
        const std::optional<std::size_t> position = WorkingSetPosition(kVolumes[bit]);
        const std::optional<ParameterRef> ref = FindParameter(kVolumes[bit]);
        if (position && ref) {
            m_history.Follow(*position, static_cast<std::uint8_t>(ReadParameter(m_session, *ref)));
        }
    }
}

}  // namespace varnoth
