#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "device/DeviceLink.h"
#include "device/Transport.h"
#include "session/RegisterMap.h"

namespace varnoth {

// One compressor preset: the five values it sets.
struct CompressorPresetValues {
    std::uint8_t threshold;
    std::uint8_t ratio;
    std::uint8_t attack;
    std::uint8_t release;
    std::uint8_t boost;
};

// The copy of every DSP parameter of the amplifier, one byte per parameter. Each setter stores the value
// and at once writes it to the device; each getter returns the stored byte. Replies to register reads are
// stored by the reader thread while the user-interface thread reads and edits: every byte is an atomic.
class ParameterStore {
  public:
    static constexpr std::size_t kPresets = 9;
    static const std::array<CompressorPresetValues, kPresets> kCompressorPresets;

    explicit ParameterStore(DeviceLink& link);

    ParameterStore(const ParameterStore&) = delete;
    ParameterStore& operator=(const ParameterStore&) = delete;

    // Mic path.
    void SetInputGain_Mic(std::uint8_t value) { SetParam(pos::InputGain_Mic, value); }
    std::uint8_t GetInputGain_Mic() const { return Param(pos::InputGain_Mic); }
    void SetNoiseGate_Mic(std::uint8_t value) { SetParam(pos::NoiseGate_Mic, value); }
    std::uint8_t GetNoiseGate_Mic() const { return Param(pos::NoiseGate_Mic); }
    void SetChToMainL_Mic(std::uint8_t value) { SetParam(pos::ChToMainL_Mic, value); }
    std::uint8_t GetChToMainL_Mic() const { return Param(pos::ChToMainL_Mic); }
    void SetChToMainR_Mic(std::uint8_t value) { SetParam(pos::ChToMainR_Mic, value); }
    std::uint8_t GetChToMainR_Mic() const { return Param(pos::ChToMainR_Mic); }
    void SetCompressOn_Mic(int value) { SetParam(pos::Compress_Mic + pos::CompressOn, value); }
    int GetCompressOn_Mic() const { return Param(pos::Compress_Mic + pos::CompressOn); }
    void SetCompressPreset_Mic(std::uint8_t preset) { SetCompressPreset(pos::Compress_Mic, preset); }
    // Stores the preset number alone: no row is loaded and nothing is sent.
    void StoreCompressPreset_Mic(std::uint8_t preset) {
        Store(pos::Compress_Mic + pos::CompressPreset, preset);
    }
    std::uint8_t GetCompressPreset_Mic() const { return Param(pos::Compress_Mic + pos::CompressPreset); }
    void SetCompressAttackTime_Mic(std::uint8_t value) {
        SetParam(pos::Compress_Mic + pos::CompressAttackTime, value);
    }
    std::uint8_t GetCompressAttackTime_Mic() const {
        return Param(pos::Compress_Mic + pos::CompressAttackTime);
    }
    void SetCompressReleaseTime_Mic(std::uint8_t value) {
        SetParam(pos::Compress_Mic + pos::CompressReleaseTime, value);
    }
    std::uint8_t GetCompressReleaseTime_Mic() const {
        return Param(pos::Compress_Mic + pos::CompressReleaseTime);
    }
    void SetCompressThreshold_Mic(std::uint8_t value) {
        SetParam(pos::Compress_Mic + pos::CompressThreshold, value);
    }
    std::uint8_t GetCompressThreshold_Mic() const {
        return Param(pos::Compress_Mic + pos::CompressThreshold);
    }
    void SetCompressRatio_Mic(std::uint8_t value) { SetParam(pos::Compress_Mic + pos::CompressRatio, value); }
    std::uint8_t GetCompressRatio_Mic() const { return Param(pos::Compress_Mic + pos::CompressRatio); }
    void SetCompressBoost_Mic(std::uint8_t value) { SetParam(pos::Compress_Mic + pos::CompressBoost, value); }
    std::uint8_t GetCompressBoost_Mic() const { return Param(pos::Compress_Mic + pos::CompressBoost); }
    void SetPEQOn_Mic(int value) { SetParam(pos::PEQ_Mic + pos::PEQOn, value); }
    int GetPEQOn_Mic() const { return Param(pos::PEQ_Mic + pos::PEQOn); }
    void SetPEQLowGain_Mic(std::uint8_t value) { SetParam(pos::PEQ_Mic + pos::PEQLowGain, value); }
    std::uint8_t GetPEQLowGain_Mic() const { return Param(pos::PEQ_Mic + pos::PEQLowGain); }
    void SetPEQLMidGain_Mic(std::uint8_t value) { SetParam(pos::PEQ_Mic + pos::PEQLMidGain, value); }
    std::uint8_t GetPEQLMidGain_Mic() const { return Param(pos::PEQ_Mic + pos::PEQLMidGain); }
    void SetPEQHMidGain_Mic(std::uint8_t value) { SetParam(pos::PEQ_Mic + pos::PEQHMidGain, value); }
    std::uint8_t GetPEQHMidGain_Mic() const { return Param(pos::PEQ_Mic + pos::PEQHMidGain); }
    void SetPEQHighGain_Mic(std::uint8_t value) { SetParam(pos::PEQ_Mic + pos::PEQHighGain, value); }
    std::uint8_t GetPEQHighGain_Mic() const { return Param(pos::PEQ_Mic + pos::PEQHighGain); }
    void SetPEQLowF_Mic(std::uint8_t value) { SetParam(pos::PEQ_Mic + pos::PEQLowF, value); }
    std::uint8_t GetPEQLowF_Mic() const { return Param(pos::PEQ_Mic + pos::PEQLowF); }
    void SetPEQLMidF_Mic(std::uint8_t value) { SetParam(pos::PEQ_Mic + pos::PEQLMidF, value); }
    std::uint8_t GetPEQLMidF_Mic() const { return Param(pos::PEQ_Mic + pos::PEQLMidF); }
    void SetPEQHMidF_Mic(std::uint8_t value) { SetParam(pos::PEQ_Mic + pos::PEQHMidF, value); }
    std::uint8_t GetPEQHMidF_Mic() const { return Param(pos::PEQ_Mic + pos::PEQHMidF); }
    void SetPEQHighF_Mic(std::uint8_t value) { SetParam(pos::PEQ_Mic + pos::PEQHighF, value); }
    std::uint8_t GetPEQHighF_Mic() const { return Param(pos::PEQ_Mic + pos::PEQHighF); }
    void SetPEQLMidQ_Mic(std::uint8_t value) { SetParam(pos::PEQ_Mic + pos::PEQLMidQ, value); }
    std::uint8_t GetPEQLMidQ_Mic() const { return Param(pos::PEQ_Mic + pos::PEQLMidQ); }
    void SetPEQHMidQ_Mic(std::uint8_t value) { SetParam(pos::PEQ_Mic + pos::PEQHMidQ, value); }
    std::uint8_t GetPEQHMidQ_Mic() const { return Param(pos::PEQ_Mic + pos::PEQHMidQ); }
    // Music path.
    void SetInputGain_Music(std::uint8_t value) { SetParam(pos::InputGain_Music, value); }
    std::uint8_t GetInputGain_Music() const { return Param(pos::InputGain_Music); }
    void SetNoiseGate_Music(std::uint8_t value) { SetParam(pos::NoiseGate_Music, value); }
    std::uint8_t GetNoiseGate_Music() const { return Param(pos::NoiseGate_Music); }
    void SetChToMainL_Music(std::uint8_t value) { SetParam(pos::ChToMainL_Music, value); }
    std::uint8_t GetChToMainL_Music() const { return Param(pos::ChToMainL_Music); }
    void SetChToMainR_Music(std::uint8_t value) { SetParam(pos::ChToMainR_Music, value); }
    std::uint8_t GetChToMainR_Music() const { return Param(pos::ChToMainR_Music); }
    void SetCompressOn_Music(int value) { SetParam(pos::Compress_Music + pos::CompressOn, value); }
    int GetCompressOn_Music() const { return Param(pos::Compress_Music + pos::CompressOn); }
    void SetCompressPreset_Music(std::uint8_t preset) { SetCompressPreset(pos::Compress_Music, preset); }
    void StoreCompressPreset_Music(std::uint8_t preset) {
        Store(pos::Compress_Music + pos::CompressPreset, preset);
    }
    std::uint8_t GetCompressPreset_Music() const { return Param(pos::Compress_Music + pos::CompressPreset); }
    void SetCompressAttackTime_Music(std::uint8_t value) {
        SetParam(pos::Compress_Music + pos::CompressAttackTime, value);
    }
    std::uint8_t GetCompressAttackTime_Music() const {
        return Param(pos::Compress_Music + pos::CompressAttackTime);
    }
    void SetCompressReleaseTime_Music(std::uint8_t value) {
        SetParam(pos::Compress_Music + pos::CompressReleaseTime, value);
    }
    std::uint8_t GetCompressReleaseTime_Music() const {
        return Param(pos::Compress_Music + pos::CompressReleaseTime);
    }
    void SetCompressThreshold_Music(std::uint8_t value) {
        SetParam(pos::Compress_Music + pos::CompressThreshold, value);
    }
    std::uint8_t GetCompressThreshold_Music() const {
        return Param(pos::Compress_Music + pos::CompressThreshold);
    }
    void SetCompressRatio_Music(std::uint8_t value) {
        SetParam(pos::Compress_Music + pos::CompressRatio, value);
    }
    std::uint8_t GetCompressRatio_Music() const { return Param(pos::Compress_Music + pos::CompressRatio); }
    void SetCompressBoost_Music(std::uint8_t value) {
        SetParam(pos::Compress_Music + pos::CompressBoost, value);
    }
    std::uint8_t GetCompressBoost_Music() const { return Param(pos::Compress_Music + pos::CompressBoost); }
    void SetPEQOn_Music(int value) { SetParam(pos::PEQ_Music + pos::PEQOn, value); }
    std::uint8_t GetPEQOn_Music() const { return Param(pos::PEQ_Music + pos::PEQOn); }
    void SetPEQLowGain_Music(std::uint8_t value) { SetParam(pos::PEQ_Music + pos::PEQLowGain, value); }
    std::uint8_t GetPEQLowGain_Music() const { return Param(pos::PEQ_Music + pos::PEQLowGain); }
    void SetPEQLMidGain_Music(std::uint8_t value) { SetParam(pos::PEQ_Music + pos::PEQLMidGain, value); }
    std::uint8_t GetPEQLMidGain_Music() const { return Param(pos::PEQ_Music + pos::PEQLMidGain); }
    void SetPEQHMidGain_Music(std::uint8_t value) { SetParam(pos::PEQ_Music + pos::PEQHMidGain, value); }
    std::uint8_t GetPEQHMidGain_Music() const { return Param(pos::PEQ_Music + pos::PEQHMidGain); }
    void SetPEQHighGain_Music(std::uint8_t value) { SetParam(pos::PEQ_Music + pos::PEQHighGain, value); }
    std::uint8_t GetPEQHighGain_Music() const { return Param(pos::PEQ_Music + pos::PEQHighGain); }
    void SetPEQLowF_Music(std::uint8_t value) { SetParam(pos::PEQ_Music + pos::PEQLowF, value); }
    std::uint8_t GetPEQLowF_Music() const { return Param(pos::PEQ_Music + pos::PEQLowF); }
    void SetPEQLMidF_Music(std::uint8_t value) { SetParam(pos::PEQ_Music + pos::PEQLMidF, value); }
    std::uint8_t GetPEQLMidF_Music() const { return Param(pos::PEQ_Music + pos::PEQLMidF); }
    void SetPEQHMidF_Music(std::uint8_t value) { SetParam(pos::PEQ_Music + pos::PEQHMidF, value); }
    std::uint8_t GetPEQHMidF_Music() const { return Param(pos::PEQ_Music + pos::PEQHMidF); }
    void SetPEQHighF_Music(std::uint8_t value) { SetParam(pos::PEQ_Music + pos::PEQHighF, value); }
    std::uint8_t GetPEQHighF_Music() const { return Param(pos::PEQ_Music + pos::PEQHighF); }
    void SetPEQLMidQ_Music(std::uint8_t value) { SetParam(pos::PEQ_Music + pos::PEQLMidQ, value); }
    std::uint8_t GetPEQLMidQ_Music() const { return Param(pos::PEQ_Music + pos::PEQLMidQ); }
    void SetPEQHMidQ_Music(std::uint8_t value) { SetParam(pos::PEQ_Music + pos::PEQHMidQ, value); }
    std::uint8_t GetPEQHMidQ_Music() const { return Param(pos::PEQ_Music + pos::PEQHMidQ); }
    // Routing, subwoofer and master volumes.
    void SetChToEffect1(std::uint8_t value) { SetParam(pos::ChToEffect1, value); }
    std::uint8_t GetChToEffect1() const { return Param(pos::ChToEffect1); }
    void SetChToEffect2(std::uint8_t value) { SetParam(pos::ChToEffect2, value); }
    std::uint8_t GetChToEffect2() const { return Param(pos::ChToEffect2); }
    void SetSubLevel(std::uint8_t value) { SetParam(pos::SubLevel, value); }
    std::uint8_t GetSubLevel() const { return Param(pos::SubLevel); }
    void SetSubPhase180(int value) { SetParam(pos::SubPhase180, value); }
    int GetSubPhase180() const { return Param(pos::SubPhase180); }
    void SetSubFrequency(std::uint8_t value) { SetParam(pos::SubFrequency, value); }
    std::uint8_t GetSubFrequency() const { return Param(pos::SubFrequency); }
    void SetSubResonance(std::uint8_t value) { SetParam(pos::SubResonance, value); }
    std::uint8_t GetSubResonance() const { return Param(pos::SubResonance); }
    void SetMicVol(std::uint8_t value) { SetParam(pos::MicVol, value); }
    std::uint8_t GetMicVol() const { return Param(pos::MicVol); }
    void SetMusicVol(std::uint8_t value) { SetParam(pos::MusicVol, value); }
    std::uint8_t GetMusicVol() const { return Param(pos::MusicVol); }
    void SetCenterVol(std::uint8_t value) { SetParam(pos::CenterVol, value); }
    std::uint8_t GetCenterVol() const { return Param(pos::CenterVol); }
    void SetSubVol(std::uint8_t value) { SetParam(pos::SubVol, value); }
    std::uint8_t GetSubVol() const { return Param(pos::SubVol); }
    // Effects 0 and 1.
    void SetEffectPreset(int effect, std::uint8_t value) { SetEffectParam(effect, pos::EffectPreset, value); }
    std::uint8_t GetEffectPreset(int effect) const { return EffectParam(effect, pos::EffectPreset); }
    void SetEffectHPF(int effect, std::uint8_t value) { SetEffectParam(effect, pos::EffectHPF, value); }
    std::uint8_t GetEffectHPF(int effect) const { return EffectParam(effect, pos::EffectHPF); }
    void SetEffectHSF(int effect, std::uint8_t value) { SetEffectParam(effect, pos::EffectHSF, value); }
    std::uint8_t GetEffectHSF(int effect) const { return EffectParam(effect, pos::EffectHSF); }
    void SetEffectPreDelay(int effect, std::uint8_t value) {
        SetEffectParam(effect, pos::EffectPreDelay, value);
    }
    std::uint8_t GetEffectPreDelay(int effect) const { return EffectParam(effect, pos::EffectPreDelay); }
    void SetEffectLevel(int effect, std::uint8_t value) { SetEffectParam(effect, pos::EffectLevel, value); }
    std::uint8_t GetEffectLevel(int effect) const { return EffectParam(effect, pos::EffectLevel); }
    void SetEffectDelayTime(int effect, std::uint8_t value) {
        SetEffectParam(effect, pos::EffectDelayTime, value);
    }
    std::uint8_t GetEffectDelayTime(int effect) const { return EffectParam(effect, pos::EffectDelayTime); }
    void SetEffectFeedback(int effect, std::uint8_t value) {
        SetEffectParam(effect, pos::EffectFeedback, value);
    }
    std::uint8_t GetEffectFeedback(int effect) const { return EffectParam(effect, pos::EffectFeedback); }
    void SetEffectHDamp(int effect, std::uint8_t value) { SetEffectParam(effect, pos::EffectHDamp, value); }
    std::uint8_t GetEffectHDamp(int effect) const { return EffectParam(effect, pos::EffectHDamp); }
    void SetEffectThreshold(int effect, std::uint8_t value) {
        SetEffectParam(effect, pos::EffectThreshold, value);
    }
    std::uint8_t GetEffectThreshold(int effect) const { return EffectParam(effect, pos::EffectThreshold); }
    // Graphic EQ bands 0..9.
    void SetMicGEQ(int band, int value) { SetBand(pos::MicGEQ, band, value); }
    std::uint8_t GetMicGEQ(int band) const { return Band(pos::MicGEQ, band); }
    void SetMusicGEQ(int band, int value) { SetBand(pos::MusicGEQ, band, value); }
    std::uint8_t GetMusicGEQ(int band) const { return Band(pos::MusicGEQ, band); }
    void SetCenterGEQ(int band, int value) { SetBand(pos::CenterGEQ, band, value); }
    std::uint8_t GetCenterGEQ(int band) const { return Band(pos::CenterGEQ, band); }
    void SetSubGEQ(int band, int value) { SetBand(pos::SubGEQ, band, value); }
    std::uint8_t GetSubGEQ(int band) const { return Band(pos::SubGEQ, band); }

    // Whole-set transfer.
    // Whether CK750_WriteAll sends the store position; the routing to the main outputs and the master
    // volumes go only through their own setters.
    static bool SentByWriteAll(std::size_t position);
    void CK750_WriteAll();
    void CK750_ReadAll();
    void ReadEffect();

    // Resets.
    void SetPEQ_Reset_Mic();
    void SetPEQ_Reset_Music();
    void ResetMicGEQ();
    void ResetMusicGEQ();
    void ResetCenterGEQ();
    void ResetSubGEQ();
    void ResetMicMode1GEQ();

    // Levels: ReadInputLevel asks for the four input levels, which the reply puts into the level word.
    void ReadInputLevel();
    // The same level poll, and with volumes the read of the four master volumes after it (the read the
    // read-all makes of them); one poll, skipped while anything else waits. False when it was skipped or
    // not sent.
    bool PollLevels(bool withVolumes);
    void ReadEqLevel();
    // Copies the level word (microphone 1 and 2, music 1 and 2) to out[0..3].
    void GetPeakData(std::uint8_t* out) const;

    // The 112 parameter bytes in file order, as they stand.
    std::array<std::uint8_t, kFileBlockSize> GetFileBlock() const;
    void SetFileBlock(const std::array<std::uint8_t, kFileBlockSize>& block);

  protected:
    void WriteK750Data(std::uint8_t block, std::uint8_t index, std::uint8_t channel, std::uint8_t value);
    void ReadK750Data(std::uint8_t block, std::uint8_t index, std::uint8_t size);
    // Store-side halves of the register-read replies; each takes the whole input report.
    void ReadK750Byte(const Report& report);
    void ReadSingleByteBuf(const Report& report);
    void ReadArrayBuf(const Report& report);

  private:
    void SetParam(std::size_t position, int value);
    std::uint8_t Param(std::size_t position) const;
    void Store(std::size_t position, std::uint8_t value);
    void SetCompressPreset(std::uint8_t compressBase, std::uint8_t preset);
    void SetEffectParam(int effect, std::uint8_t param, std::uint8_t value);
    std::uint8_t EffectParam(int effect, std::uint8_t param) const;
    void SetBand(std::uint8_t bank, int band, int value);
    std::uint8_t Band(std::uint8_t bank, int band) const;
    void ResetBank(std::uint8_t first, std::size_t count);

    DeviceLink& m_link;
    std::array<std::atomic<std::uint8_t>, kStoreSize> m_store;
    // The four level bytes in report order.
    std::atomic<std::uint32_t> m_peakData{0};
};

}  // namespace varnoth
