// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/ModeDataCheck.h"

#include <array>
#include <utility>

#include "session/ParameterTable.h"

namespace varnoth {
namespace {

std::optional<ModeDataFault> Outside(std::size_t offset, std::string field, int value, int min, int max,
                                     int offValue = kNoOffValue) {
    const bool allowed = (value >= min && value <= max) || value == offValue;
    if (allowed) {
        return std::nullopt;
    }
    return ModeDataFault{offset, std::move(field), value, min, max, offValue};
}

// The parameter at each store position of the file, looked up once.
const std::array<std::optional<ParameterRef>, kFileBlockSize>& ParametersByPosition() {
    static const auto table = [] {
        std::array<std::optional<ParameterRef>, kFileBlockSize> byPosition{};
        for (std::size_t position = 0; position < byPosition.size(); ++position) {
            byPosition[position] = ParameterAt(static_cast<int>(position));
        }
        return byPosition;
    }();
    return table;
}

}  // namespace

std::string ModeDataFault::RangeText() const {
    std::string text = std::to_string(min) + ".." + std::to_string(max);
    if (offValue != kNoOffValue) {
        text += " / " + std::to_string(offValue);
    }
    return text;
}

BilingualText ModeDataFault::Message() const {
    const std::string number = std::to_string(value);
    const std::string range = RangeText();
    // A parameter by what the window calls it; a machine setting by its name.
    const std::optional<ParameterRef> ref = FindParameter(field);
    const auto title = [&](int language) { return ref ? ref->Title(language) : field; };
    return {"文件中“" + title(0) + "”的值为 " + number + "，超出范围 " + range +
                "。这不是本面板能产生的模式数据文件，未载入任何内容。",
            "The file's " + title(1) + " is " + number + ", outside its range " + range +
                ". This is not a mode data file the panel could have written; nothing was loaded."};
}

std::optional<ModeDataFault> ModeDataCheck::FirstFault(const ModeDataFile::Image& image) {
    std::vector<ModeDataFault> faults = AllFaults(image);
    if (faults.empty()) {
        return std::nullopt;
    }
    return std::move(faults.front());
}

std::vector<ModeDataFault> ModeDataCheck::AllFaults(const ModeDataFile::Image& image) {
    std::vector<ModeDataFault> faults;
    for (std::size_t offset = 0; offset < kFileBlockSize; ++offset) {
        const std::optional<ParameterRef>& ref = ParametersByPosition()[offset];
        if (!ref) {
            continue;
        }
        if (auto fault = Outside(offset, ref->Name(), image[offset], ref->param->min, ref->param->max)) {
            faults.push_back(std::move(*fault));
        }
    }
    const std::pair<const char*, std::size_t> micControlSub[] = {
        {"MicControlSubTime", ModeDataFile::kMicControlSubAt},
        {"MicControlSubRate", ModeDataFile::kMicControlSubAt + 1},
    };
    for (const auto& [name, offset] : micControlSub) {
        const std::optional<ParameterRef> ref = FindParameter(name);
        if (auto fault = Outside(offset, name, image[offset], ref->param->min, ref->param->max)) {
            faults.push_back(std::move(*fault));
        }
    }
    for (std::size_t byte = 0; byte < kMachineSettingsBytes; ++byte) {
        const MachineByteRule& rule = MachineByteRules()[byte];
        const std::size_t offset = ModeDataFile::kMachineAt + byte;
        if (auto fault = Outside(offset, std::string("Machine.") + rule.name, image[offset], rule.min,
                                 rule.max, rule.offValue)) {
            faults.push_back(std::move(*fault));
        }
    }
    return faults;
}

}  // namespace varnoth
