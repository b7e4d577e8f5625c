// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/StepText.h"

#include <array>
#include <optional>

namespace varnoth::mainwin {
namespace {

constexpr Bilingual kEffect[2] = {{"效果一", "effect 1"}, {"效果二", "effect 2"}};
constexpr Bilingual kBand{"频段", "band"};

}  // namespace

std::string ParameterTitle(const ParameterRef& ref, int language) {
    std::string title = ref.param->title.In(language);
    const bool english = language != 0;
    if (ref.param->count == 2) {
        return std::string(kEffect[ref.index].In(language)) + (english ? " " : "") + title;
    }
    if (ref.param->count > 2) {
        return title + " " + kBand.In(language) + (english ? " " : "") + std::to_string(ref.index + 1);
    }
    return title;
}

std::string ParameterTitle(std::string_view name, int language) {
    if (const std::optional<ParameterRef> ref = FindParameter(name)) {
        return ParameterTitle(*ref, language);
    }
    // A bank of indexed parameters by its name alone ("MicGEQ").
    for (const Parameter& param : ParameterTable()) {
        if (name == param.name) {
            return param.title.In(language);
        }
    }
    return std::string(name);
}

std::string StepText(const EditStep& step, int language) {
    const std::vector<std::size_t> changed = step.Changed();
    std::string text = step.action;
    if (changed.size() == 1 && !step.wholeSet) {
        const ParameterRef& ref = WorkingSetParameters()[changed.front()];
        const std::size_t i = changed.front();
        text = ParameterTitle(ref, language) + " " + ref.Shown(step.before[i], language) + " → " +
               ref.Shown(step.after[i], language);
    }
    return step.overtaken ? text + kOvertakenNote.In(language) : text;
}

std::string UndoCommandText(const EditStep* step, bool undo, int language) {
    const std::string command = (undo ? kUndoText : kRedoText).In(language);
    if (step == nullptr) {
        return command;
    }
    return command + (language != 0 ? ": " : "：") + StepText(*step, language);
}

}  // namespace varnoth::mainwin
