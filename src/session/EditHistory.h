// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "session/ParameterTable.h"

namespace varnoth {

class DeviceSession;

// The working set: the value of every parameter of the amplifier, one per parameter of the parameter table
// (each index of an indexed one) in table order.
using WorkingSet = std::vector<std::uint8_t>;

// The parameters of a working set, in its order.
std::span<const ParameterRef> WorkingSetParameters();
WorkingSet CaptureWorkingSet(const DeviceSession& session);
// The working-set position of the parameter named NAME or NAME.N, or nothing.
std::optional<std::size_t> WorkingSetPosition(std::string_view name);

// Where an edit comes from. Edits from one source within one gesture make one step.
struct UndoSource {
    enum class Kind : std::uint8_t {
        None,
        Control,      // a slider, box or list of the window; view: the path it showed
        EqBand,       // a band of an EQ graph; view: the path or graphic EQ page, index: the band
        EqAllBands,   // every band of an EQ graph at once (a shift of all gains)
        EqCopy,       // a graphic EQ page copied to another
        Command,      // a command button (load, flatten, default EQ)
        Reset,        // a quick reset to the defaults
        Compare,      // the A/B switch
        CompareCopy,  // a copy between the A/B sets
    };
    Kind kind = Kind::None;
    int control = 0;  // the control's or command's template ID
    int view = 0;
    int index = 0;

    static UndoSource Of(Kind kind, int control = 0, int view = 0, int index = 0) {
        return {kind, control, view, index};
    }
    bool operator==(const UndoSource& other) const = default;
};

// One undoable step: the working set before and after what the user did.
struct EditStep {
    std::string action;  // what the user did, for a step that changed more than one parameter
    WorkingSet before;
    WorkingSet after;
    // A memory mode or mode data file load: undone and redone by a write-all.
    bool wholeSet = false;
    // Where the edit came from.
    UndoSource source;
    // The amplifier itself has since set everything the step changed (its keys, its remote): the step stays
    // where the user saw it, and undoing or redoing it writes nothing.
    bool overtaken = false;
    // The effects (bit 0, bit 1) whose preset the step chose again: the amplifier set that preset's values,
    // which the step takes as they are read back.
    unsigned reloadedPresets = 0;
    // Made while no amplifier was connected: nothing of it has reached an amplifier yet.
    bool offline = false;

    // The working-set positions the step changed.
    std::vector<std::size_t> Changed() const;
};

// The undo and redo history of the panel's edits. Every edit is bracketed by Begin and End; edits from one
// source (a control) within one gesture (a press and what follows it until the next press) make one step, so
// a whole drag is undone at once. A step that changed nothing is not kept. The history keeps at most `depth`
// steps; a new step clears what could be redone.
class EditHistory {
  public:
    static constexpr std::size_t kDefaultDepth = 200;

    explicit EditHistory(std::size_t depth = kDefaultDepth) : m_depth(depth) {}

    void Begin(const DeviceSession& session, UndoSource source, unsigned gesture, std::string action,
               bool wholeSet = false);
    void End(const DeviceSession& session);
    // Within Begin and End: the effect's preset was chosen again, so the step is kept although its values
    // arrive later.
    void PresetReloaded(int effect);

    // The step the next Undo or Redo takes, or nullptr.
    const EditStep* NextUndo() const { return m_undo.empty() ? nullptr : &m_undo.back(); }
    const EditStep* NextRedo() const { return m_redo.empty() ? nullptr : &m_redo.back(); }
    // Moves the step over to the other side and returns it (valid until the history changes), or nullptr.
    const EditStep* Undo(const DeviceSession& session);
    const EditStep* Redo();
    void Clear();
    // The amplifier itself set the parameter at working-set position `parameter` to `value` (its own keys or
    // its remote): no step changes that parameter any more, so neither undo nor redo writes back a value the
    // amplifier has left since. A step that changed nothing else stays in its place as overtaken, so that the
    // next undo is still the step the user was shown and never reaches an older one unawares.
    void Follow(std::size_t parameter, std::uint8_t value);

    // The edits made offline were sent to the amplifier (keep: their steps are steps like any other) or given
    // up for the amplifier's settings (their steps are gone: they would undo what no amplifier ever held).
    void SettleOffline(bool keep);

    std::size_t UndoCount() const { return m_undo.size(); }
    std::size_t RedoCount() const { return m_redo.size(); }

  private:
    // The amplifier answers an effect preset with the preset's values some time after the choice: the
    // latest step takes them when they are needed.
    void TakeEffectReadBack(const DeviceSession& session);

    std::size_t m_depth;
    std::deque<EditStep> m_undo;
    std::vector<EditStep> m_redo;
    // The step being made.
    EditStep m_pending;
    bool m_merging = false;
    // The latest step may grow while its source and gesture go on.
    bool m_canMerge = false;
    UndoSource m_source;
    unsigned m_gesture = 0;
};

// An effect parameter that the amplifier sets itself when its effect's preset is chosen.
bool IsEffectPresetValue(const ParameterRef& ref);

// Writes what the step changed back to its values before it (undo) or after it (redo), through each
// parameter's setter and only where the session holds something else. A changed effect preset is written
// first and all of that effect's parameters after it, since the amplifier loads the preset's values; a
// compressor preset is only stored, its values follow as parameters. Returns the parameters written.
int ApplyStep(DeviceSession& session, const EditStep& step, bool undo);

// A whole-set step's values into the store without sending them, ready for a write-all; the master volumes
// and the mic-controls-sub setting, which a write-all leaves out or sends from elsewhere, are set as usual.
void StoreStep(DeviceSession& session, const EditStep& step, bool undo);

}  // namespace varnoth
