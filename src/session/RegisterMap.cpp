#include "session/RegisterMap.h"

namespace varnoth {
namespace {

constexpr std::uint8_t kFlat = 0x40;

constexpr RegisterEntry Stereo(std::uint8_t block, std::uint8_t index, std::uint8_t channel,
                               std::uint8_t defaultValue = 0, ValueRule rule = ValueRule::Plain) {
    return {true, block, index, channel, true, rule, defaultValue};
}

constexpr RegisterEntry Mono(std::uint8_t block, std::uint8_t index, std::uint8_t channel,
                             std::uint8_t defaultValue = 0, ValueRule rule = ValueRule::Plain) {
    return {true, block, index, channel, false, rule, defaultValue};
}

constexpr RegisterEntry NoRegister(std::uint8_t defaultValue) {
    return {false, 0, 0, 0, false, ValueRule::Plain, defaultValue};
}

struct PathChannels {
    std::uint8_t channel;
    std::uint8_t compress;
    std::uint8_t peq;
};
constexpr std::array<PathChannels, 2> kPaths{
    {{0, pos::Compress_Mic, pos::PEQ_Mic}, {2, pos::Compress_Music, pos::PEQ_Music}}};

// Register index (block 5) of each compressor field; the preset has no register of its own.
constexpr std::array<int, 7> kCompressIndex{0, -1, 1, 2, 3, 4, 5};
// Register index (block 9) of each PEQ field.
constexpr std::array<std::uint8_t, pos::kPeqFields> kPeqIndex{0, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14};

constexpr RegisterMap BuildMap() {
    RegisterMap map{};
    map[pos::InputGain_Mic] = Stereo(8, 4, 0);
    map[pos::InputGain_Music] = Stereo(8, 4, 2);
    map[pos::NoiseGate_Mic] = Stereo(8, 5, 0);
    map[pos::NoiseGate_Music] = Stereo(8, 5, 2);
    map[pos::ChToMainL_Mic] = Stereo(8, 6, 0);
    map[pos::ChToMainR_Mic] = Stereo(8, 7, 0);
    map[pos::ChToMainL_Music] = Stereo(8, 6, 2);
    map[pos::ChToMainR_Music] = Stereo(8, 7, 2);
    map[pos::ChToEffect1] = Stereo(8, 8, 0);
    map[pos::ChToEffect2] = Stereo(8, 9, 0);
    for (const PathChannels& path : kPaths) {
        for (std::uint8_t field = 0; field < kCompressIndex.size(); ++field) {
            const int index = kCompressIndex[field];
            map[path.compress + field] =
                index < 0 ? NoRegister(0) : Stereo(5, static_cast<std::uint8_t>(index), path.channel);
        }
        map[path.peq + pos::PEQOn] =
            Stereo(9, kPeqIndex[pos::PEQOn], path.channel, kFlat, ValueRule::PeqSwitch);
        for (std::uint8_t field = pos::PEQLowGain; field < pos::kPeqFields; ++field) {
            map[path.peq + field] = Stereo(9, kPeqIndex[field], path.channel, kFlat);
        }
    }
    for (std::uint8_t p = 0; p < pos::kEffectParams; ++p) {
        map[pos::Effect1 + p] = Mono(3, p, 0);
        map[pos::Effect2 + p] = Mono(3, p, 1);
    }
    for (std::uint8_t r = 0; r < pos::kReservedBytes; ++r) {
        map[pos::Reserved + r] = NoRegister(kFlat);
    }
    map[pos::SubLevel] = Mono(11, 4, 0);
    map[pos::SubPhase180] = Mono(11, 5, 0, 0, ValueRule::SubPhase);
    map[pos::SubFrequency] = Mono(11, 6, 0);
    map[pos::SubResonance] = Mono(11, 7, 0);
    for (std::uint8_t band = 0; band < pos::kBands; ++band) {
        map[pos::MicGEQ + band] = Stereo(10, band, 0, kFlat);
        map[pos::MusicGEQ + band] = Stereo(10, band, 2, kFlat);
        map[pos::CenterGEQ + band] = Mono(10, band, 4, kFlat);
        map[pos::SubGEQ + band] = Mono(10, band, 5, kFlat);
    }
    map[pos::MicVol] = Stereo(10, 32, 0, 0, ValueRule::Volume);
    map[pos::MusicVol] = Stereo(10, 32, 2, 0, ValueRule::Volume);
    map[pos::CenterVol] = Mono(10, 32, 4, 0, ValueRule::Volume);
    map[pos::SubVol] = Mono(10, 32, 5, 0, ValueRule::Volume);
    return map;
}

constexpr RegisterMap kMap = BuildMap();

}  // namespace

const RegisterMap& StoreRegisterMap() {
    return kMap;
}

}  // namespace varnoth
