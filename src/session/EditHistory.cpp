// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/EditHistory.h"

#include <algorithm>
#include <utility>

#include "device/Protocol.h"
#include "session/DeviceSession.h"
#include "session/ParameterAccess.h"

namespace varnoth {
namespace {

std::vector<ParameterRef> MakeParameters() {
    std::vector<ParameterRef> refs;
    for (const Parameter& param : ParameterTable()) {
        for (int index = 0; index < std::max(param.count, 1); ++index) {
            refs.push_back({&param, index});
        }
    }
    return refs;
}

bool IsEffectPreset(const ParameterRef& ref) {
    return ref.param->access == ParamAccess::EffectPreset;
}

bool IsCompressPreset(const ParameterRef& ref) {
    return ref.param->access == ParamAccess::CompressorPreset;
}

int Get(const DeviceSession& session, const ParameterRef& ref) {
    return ReadParameter(session, ref);
}

// The effects (bit 0 and bit 1) whose preset the step changed or chose again.
unsigned ChangedPresets(const EditStep& step) {
    const auto refs = WorkingSetParameters();
    unsigned effects = step.reloadedPresets;
    for (const std::size_t i : step.Changed()) {
        if (IsEffectPreset(refs[i])) {
            effects |= 1u << refs[i].index;
        }
    }
    return effects;
}

}  // namespace

bool IsEffectPresetValue(const ParameterRef& ref) {
    return ref.param->count == 2 && ref.param->registers.hasRegister &&
           ref.param->registers.block == wire::kEffectPresetRegister.block && !IsEffectPreset(ref);
}

std::span<const ParameterRef> WorkingSetParameters() {
    static const std::vector<ParameterRef> refs = MakeParameters();
    return refs;
}

WorkingSet CaptureWorkingSet(const DeviceSession& session) {
    WorkingSet set;
    const auto refs = WorkingSetParameters();
    set.reserve(refs.size());
    for (const ParameterRef& ref : refs) {
        set.push_back(static_cast<std::uint8_t>(Get(session, ref)));
    }
    return set;
}

std::optional<std::size_t> WorkingSetPosition(std::string_view name) {
    const std::optional<ParameterRef> found = FindParameter(name);
    if (!found) {
        return std::nullopt;
    }
    const auto refs = WorkingSetParameters();
    const auto at = std::find_if(refs.begin(), refs.end(), [&](const ParameterRef& ref) {
        return ref.param == found->param && ref.index == found->index;
    });
    if (at == refs.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(at - refs.begin());
}

std::vector<std::size_t> EditStep::Changed() const {
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
        if (before[i] != after[i]) {
            changed.push_back(i);
        }
    }
    return changed;
}

void EditHistory::Begin(const DeviceSession& session, UndoSource source, unsigned gesture, std::string action,
                        bool wholeSet) {
    m_merging = m_canMerge && !wholeSet && source == m_source && gesture == m_gesture;
    if (m_merging) {
        return;
    }
    TakeEffectReadBack(session);
    m_canMerge = false;
    m_source = source;
    m_gesture = gesture;
    m_pending = EditStep{std::move(action), CaptureWorkingSet(session), {}, wholeSet, source};
}

void EditHistory::End(const DeviceSession& session) {
    if (m_merging) {
        m_merging = false;
        EditStep& step = m_undo.back();
        step.after = CaptureWorkingSet(session);
        if (step.after == step.before && step.reloadedPresets == 0) {
            m_undo.pop_back();
            m_canMerge = false;
        }
        return;
    }
    m_pending.after = CaptureWorkingSet(session);
    if (m_pending.after == m_pending.before && m_pending.reloadedPresets == 0) {
        return;
    }
    m_pending.offline = !session.IsConnected();
    m_undo.push_back(std::move(m_pending));
    m_pending = {};
    while (m_undo.size() > m_depth) {
        m_undo.pop_front();
    }
    m_redo.clear();
    m_canMerge = !m_undo.back().wholeSet;
}

void EditHistory::PresetReloaded(int effect) {
    EditStep& step = m_merging && !m_undo.empty() ? m_undo.back() : m_pending;
    step.reloadedPresets |= 1u << effect;
}

const EditStep* EditHistory::Undo(const DeviceSession& session) {
    if (m_undo.empty()) {
        return nullptr;
    }
    TakeEffectReadBack(session);
    m_canMerge = false;
    m_redo.push_back(std::move(m_undo.back()));
    m_undo.pop_back();
    return &m_redo.back();
}

const EditStep* EditHistory::Redo() {
    if (m_redo.empty()) {
        return nullptr;
    }
    m_canMerge = false;
    m_undo.push_back(std::move(m_redo.back()));
    m_redo.pop_back();
    return &m_undo.back();
}

void EditHistory::Clear() {
    m_undo.clear();
    m_redo.clear();
    m_canMerge = false;
    m_merging = false;
}

void EditHistory::Follow(std::size_t parameter, std::uint8_t value) {
    const auto rebase = [&](EditStep& step, bool growing) {
        if (step.overtaken) {
            return;
        }
        EditStep rebased = step;
        for (WorkingSet* set : {&rebased.before, &rebased.after}) {
            if (parameter < set->size()) {
                (*set)[parameter] = value;
            }
        }
        // A step still growing is rebased all the same: its end drops it when it changed nothing.
        if (growing || rebased.before != rebased.after || step.before == step.after) {
            step = std::move(rebased);
        } else {
            step.overtaken = true;
        }
    };
    const auto growing = m_merging && !m_undo.empty() ? m_undo.end() - 1 : m_undo.end();
    for (auto step = m_undo.begin(); step != m_undo.end(); ++step) {
        rebase(*step, step == growing);
    }
    for (EditStep& step : m_redo) {
        rebase(step, false);
    }
    rebase(m_pending, true);
    if (growing == m_undo.end() && !m_undo.empty() && m_undo.back().overtaken) {
        // An edit of the same gesture must not grow a step the amplifier has overtaken.
        m_canMerge = false;
    }
}

void EditHistory::SettleOffline(bool keep) {
    const auto offline = [](const EditStep& step) { return step.offline; };
    if (keep) {
        for (EditStep& step : m_undo) {
            step.offline = false;
        }
        for (EditStep& step : m_redo) {
            step.offline = false;
        }
        return;
    }
    m_undo.erase(std::remove_if(m_undo.begin(), m_undo.end(), offline), m_undo.end());
    m_redo.erase(std::remove_if(m_redo.begin(), m_redo.end(), offline), m_redo.end());
    m_canMerge = false;
}

void EditHistory::TakeEffectReadBack(const DeviceSession& session) {
    if (m_undo.empty() || m_undo.back().wholeSet || m_undo.back().overtaken) {
        return;
    }
    EditStep& step = m_undo.back();
    const unsigned effects = ChangedPresets(step);
    if (effects == 0) {
        return;
    }
    const auto refs = WorkingSetParameters();
    for (std::size_t i = 0; i < refs.size(); ++i) {
        if (IsEffectPresetValue(refs[i]) && (effects & (1u << refs[i].index)) != 0) {
            step.after[i] = static_cast<std::uint8_t>(Get(session, refs[i]));
        }
    }
}

int ApplyStep(DeviceSession& session, const EditStep& step, bool undo) {
    if (step.overtaken) {
        return 0;
    }
    const WorkingSet& target = undo ? step.before : step.after;
    const auto refs = WorkingSetParameters();
    const std::vector<std::size_t> changed = step.Changed();
    const unsigned presets = ChangedPresets(step);
    int written = 0;
    for (std::size_t i = 0; i < refs.size() && i < target.size(); ++i) {
        const ParameterRef& ref = refs[i];
        const bool forced = IsEffectPresetValue(ref) && (presets & (1u << ref.index)) != 0;
        const bool inStep = std::binary_search(changed.begin(), changed.end(), i);
        if (!forced && (!inStep || Get(session, ref) == target[i])) {
            continue;
        }
        if (IsEffectPreset(ref)) {
            // The register alone: the amplifier loads the preset and the values follow below.
            session.Store().SetValue(pos::OfEffect(ref.index, pos::EffectPreset), target[i]);
        } else if (IsCompressPreset(ref)) {
            session.Store().StoreValue(static_cast<std::size_t>(ref.Position()), target[i]);
        } else {
            WriteParameter(session, ref, target[i]);
        }
        ++written;
    }
    return written;
}

void StoreStep(DeviceSession& session, const EditStep& step, bool undo) {
    const WorkingSet& target = undo ? step.before : step.after;
    const auto refs = WorkingSetParameters();
    auto block = session.Store().GetFileBlock();
    for (const std::size_t i : step.Changed()) {
        const int position = refs[i].Position();
        if (position != kNotStored && static_cast<std::size_t>(position) < block.size()) {
            block[static_cast<std::size_t>(position)] = target[i];
        } else if (Get(session, refs[i]) != target[i]) {
            WriteParameter(session, refs[i], target[i]);
        }
    }
    session.Store().SetFileBlock(block);
}

}  // namespace varnoth
