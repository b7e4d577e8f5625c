// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/WindowParams.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "session/DeviceSession.h"
#include "session/ParameterAccess.h"
#include "session/ParameterTable.h"

namespace varnoth::mainwin {

namespace {

constexpr std::string_view kPathSuffixes[] = {"_Mic", "_Music"};

// The other path's twin of each row of the table, by the row's place in the table (nullptr for a row of no
// path or without a twin).
const std::vector<const Parameter*>& Twins() {
    static const std::vector<const Parameter*> twins = [] {
        const std::span<const Parameter> table = ParameterTable();
        std::vector<const Parameter*> found(table.size(), nullptr);
        for (std::size_t i = 0; i < table.size(); ++i) {
            const Parameter& row = table[i];
            if (row.path == ParamPath::None) {
                continue;
            }
            const bool mic = row.path == ParamPath::Mic;
            const std::string_view name = row.name;
            const std::string_view own = kPathSuffixes[mic ? 0 : 1];
            if (!name.ends_with(own)) {
                continue;
            }
            const std::string twin = std::string(name.substr(0, name.size() - own.size())) +
                                     std::string(kPathSuffixes[mic ? 1 : 0]);
            if (const std::optional<ParameterRef> ref = FindParameter(twin)) {
                found[i] = ref->param;
            }
        }
        return found;
    }();
    return twins;
}

// The names of each parametric band's gain, frequency and Q (nullptr: none).
constexpr const char* kPeqBandNames[][3] = {
    {"PEQLowGain_Mic", "PEQLowF_Mic", nullptr},
    {"PEQLMidGain_Mic", "PEQLMidF_Mic", "PEQLMidQ_Mic"},
    {"PEQHMidGain_Mic", "PEQHMidF_Mic", "PEQHMidQ_Mic"},
    {"PEQHighGain_Mic", "PEQHighF_Mic", nullptr},
};

// The parameter table's bank of each graphic EQ page.
constexpr const char* kGraphicBanks[] = {"CenterGEQ", "MicGEQ", "MusicGEQ", "SubGEQ"};

// The band's row in the parameter table.
ParameterRef GraphicBand(int page, int band) {
    static const std::array<const Parameter*, std::size(kGraphicBanks)> banks = [] {
        std::array<const Parameter*, std::size(kGraphicBanks)> found{};
        for (std::size_t i = 0; i < found.size(); ++i) {
            found[i] = FindParameter(std::string(kGraphicBanks[i]) + ".0")->param;
        }
        return found;
    }();
    return {banks[static_cast<std::size_t>(page)], band};
}

bool ValidBand(int page, int band) {
    return page >= 0 && page < static_cast<int>(std::size(kGraphicBanks)) && band >= 0 &&
           band < kGraphicBands;
}

}  // namespace

ParameterRef Named(std::string_view name) {
    if (const std::optional<ParameterRef> ref = FindParameter(name)) {
        return *ref;
    }
    std::fprintf(stderr, "varnoth: the window names %.*s, which the parameter table does not have\n",
                 static_cast<int>(name.size()), name.data());
    std::abort();
}

ParameterRef OnPath(const ParameterRef& parameter, bool micView) {
    const ParamPath wanted = micView ? ParamPath::Mic : ParamPath::Music;
    if (parameter.param->path == ParamPath::None || parameter.param->path == wanted) {
        return parameter;
    }
    const auto row = static_cast<std::size_t>(parameter.param - ParameterTable().data());
    const Parameter* twin = Twins()[row];
    return twin != nullptr ? ParameterRef{twin, parameter.index} : parameter;
}

std::uint8_t ReadValue(const DeviceSession& session, const ParameterRef& parameter) {
    return static_cast<std::uint8_t>(ReadParameter(session, parameter));
}

void ChooseCompressorPreset(DeviceSession& session, bool micView, std::uint8_t preset) {
    const ParameterRef shown = OnPath(Named("CompressPreset_Mic"), micView);
    if (preset == kUserDefinedPreset) {
        session.Store().StoreValue(static_cast<std::size_t>(shown.Position()), preset);
        return;
    }
    WriteParameter(session, shown, preset);
}

const PeqBandParameters* PeqBand(int band) {
    static const std::vector<PeqBandParameters> bands = [] {
        std::vector<PeqBandParameters> found;
        for (const auto& names : kPeqBandNames) {
            found.push_back({Named(names[0]), Named(names[1]),
                             names[2] != nullptr ? std::optional(Named(names[2])) : std::nullopt});
        }
        return found;
    }();
    return band >= 0 && band < static_cast<int>(bands.size()) ? &bands[static_cast<std::size_t>(band)]
                                                              : nullptr;
}

std::uint8_t ReadGraphicBand(const DeviceSession& session, int page, int band) {
    if (!ValidBand(page, band)) {
        return 0;
    }
    return static_cast<std::uint8_t>(ReadParameter(session, GraphicBand(page, band)));
}

void WriteGraphicBand(DeviceSession& session, int page, int band, std::uint8_t value) {
    if (ValidBand(page, band)) {
        WriteParameter(session, GraphicBand(page, band), value);
    }
}

const char* GraphicBankName(int page) {
    return page >= 0 && page < static_cast<int>(std::size(kGraphicBanks)) ? kGraphicBanks[page] : nullptr;
}

std::optional<ParameterRef> GraphicBandParameter(int page, int band) {
    if (!ValidBand(page, band)) {
        return std::nullopt;
    }
    return GraphicBand(page, band);
}

}  // namespace varnoth::mainwin
