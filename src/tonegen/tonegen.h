// The tone generator: synthesises a tone (base waveform, up to eight partials,
// optional envelope) into one in-memory RIFF/WAVE image and plays it through
// the process's sound player. One implementation, two kinds: TMyToneGen with
// a real frequency of 10..20000 Hz, TToneGen with whole hertz of 20..20000.
// UI thread only; the player reads the image while it plays, so the image is
// replaced or released only after the sound has been stopped.
#pragma once

#include "toneoutput.h"
#include "player.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

enum TTGWave : std::uint8_t { tgSine, tgSquare, tgTriangle, tgSawtooth, tgNoise };
enum TTGResolution : std::uint8_t { tg16Bit, tg8Bit };
enum TTGQuality : std::uint8_t { tgHiQ, tgLoQ };
using TTGAMLevel = std::uint8_t; // tgAMLevel1 = 0 .. tgAMLevel8 = 7
inline constexpr TTGAMLevel tgAMLevel1 = 0, tgAMLevel8 = 7;

enum class ToneKind : std::uint8_t { Real, Whole };

class ToneGenerator : public ToneOutput {
public:
    ToneGenerator(ToneKind kind, SoundPlayer& player);
    ~ToneGenerator() override;
    ToneGenerator(const ToneGenerator&) = delete;
    ToneGenerator& operator=(const ToneGenerator&) = delete;

    // Properties. Clamped ones pass the range check of their kind.
    double Frequency() const { return frequency_; }
    void SetFrequency(double hz) override;
    std::int16_t Duration() const { return duration_; }
    void SetDuration(int ms);
    TTGWave Waveform() const { return waveform_; }
    void SetWaveform(TTGWave wave);
    std::int16_t Attack() const { return attack_; }
    std::int16_t Hold() const { return hold_; }
    std::int16_t Decay() const { return decay_; }
    std::int16_t Sustain() const { return sustain_; }
    std::int16_t Release() const { return release_; }
    void SetAttack(int percent) { attack_ = Clamp(percent, 0, 100); envelopeStale_ = true; }
    void SetHold(int percent) { hold_ = Clamp(percent, 0, 100); envelopeStale_ = true; }
    void SetDecay(int percent) { decay_ = Clamp(percent, 0, 100); envelopeStale_ = true; }
    void SetSustain(int percent) { sustain_ = Clamp(percent, 0, 100); envelopeStale_ = true; }
    void SetRelease(int percent) { release_ = Clamp(percent, 0, 100); envelopeStale_ = true; }
    bool Async = true;
    bool Loop = false;
    TTGResolution Resolution() const { return resolution_; }
    void SetResolution(TTGResolution r) { resolution_ = r; toneStale_ = true; }
    TTGQuality Quality() const { return quality_; }
    void SetQuality(TTGQuality q) { quality_ = q; toneStale_ = true; }
    std::int16_t LeftVolume() const { return left_; }
    std::int16_t RightVolume() const { return right_; }
    void SetLeftVolume(int percent) override;
    void SetRightVolume(int percent) override;
    bool Stereo() const { return stereo_; }
    void SetStereo(bool s) { stereo_ = s; toneStale_ = true; }
    TTGAMLevel AMLevel() const { return amLevel_; }
    void SetAMLevel(TTGAMLevel level);
    std::int16_t AMAmplitude() const { return amAmplitude_; }
    void SetAMAmplitude(int percent);
    TTGWave AMWaveform() const { return amWaveform_; }
    void SetAMWaveform(TTGWave wave);
    float AMFrequency() const { return amFrequency_; }
    void SetAMFrequency(float value);
    bool AMUseMultiplier() const { return amUseMultiplier_; }
    void SetAMUseMultiplier(bool on) { amUseMultiplier_ = on; toneStale_ = true; }

    // The partial table.
    std::array<std::int16_t, 8> AMAmplitudes{};
    std::array<TTGWave, 8> AMWaveforms{};
    std::array<float, 8> AMFrequencies{};
    std::array<std::int32_t, 8> AMOctaves{};
    void ResetAM();
    void SetAMParameter(TTGAMLevel level, std::int16_t amplitude, TTGWave wave, float frequency);
    // The AMArrayData stream: written as 100 bytes; reading never writes past
    // the eighth entry (further entries are read and discarded).
    std::vector<std::uint8_t> WriteAMArrayData() const;
    void ReadAMArrayData(const std::uint8_t* data, std::size_t size);

    // The image.
    const std::uint8_t* GetDataBuffer() const { return image_.empty() ? nullptr : image_.data(); }
    std::size_t ImageSize() const { return image_.size(); }
    bool ExportFile(const std::string& path) const;
    bool BuildImage(bool envelope);
    bool ToneStale() const { return toneStale_; }
    bool EnvelopeStale() const { return envelopeStale_; }
    bool EnvelopeApplied() const { return envelopeApplied_; }

    // Playback and volume.
    void Play() override;
    void PlayADSR();
    void Stop() override;
    void Prepare() override;
    void PrepareADSR();
    void PresetVolume() { ApplyVolume(); }
    bool SoundIdle() const { return soundIdle_; }

    // Note names ("A", "C#", ">A", "O4E-", "N48"): the frequency assigned, or 0.
    int SetNote(const std::string& name);
    float SetAMNote(TTGAMLevel level, const std::string& name);
    std::int32_t NoteOctave = 4;

    ToneKind Kind() const { return kind_; }
    static std::int32_t LiveCount(ToneKind kind);
    static std::uint32_t SavedDeviceVolume(ToneKind kind);

private:
    static std::int16_t Clamp(int v, int lo, int hi) { return static_cast<std::int16_t>(v < lo ? lo : v > hi ? hi : v); }
    double MinFrequency() const { return kind_ == ToneKind::Real ? 10.0 : 20.0; }
    void StartSound();
    void PlayImage(bool envelope);
    void ApplyVolume();
    std::uint32_t ReadDeviceVolume() const;
    void RenderVoice(int share, double hz, TTGWave wave, std::size_t dataBytes);
    void ApplyEnvelope(std::size_t dataBytes);

    ToneKind kind_;
    SoundPlayer& player_;
    double frequency_ = 440;
    std::int16_t duration_ = 100;
    TTGWave waveform_ = tgSine;
    std::int16_t attack_ = 10, hold_ = 5, decay_ = 20, sustain_ = 50, release_ = 30;
    TTGResolution resolution_ = tg16Bit;
    TTGQuality quality_ = tgHiQ;
    std::int16_t left_ = 100, right_ = 100;
    bool stereo_ = false;
    TTGAMLevel amLevel_ = tgAMLevel1;
    std::int16_t amAmplitude_ = 0;
    TTGWave amWaveform_ = tgSine;
    float amFrequency_ = 0.5f;
    bool amUseMultiplier_ = true;
    std::vector<std::uint8_t> image_;
    bool toneStale_ = true, envelopeStale_ = true, envelopeApplied_ = true;
    bool soundIdle_ = true;
    std::uint32_t noise_ = 1;
};

class TMyToneGen : public ToneGenerator {
public:
    explicit TMyToneGen(SoundPlayer& player) : ToneGenerator(ToneKind::Real, player) {}
};

class TToneGen : public ToneGenerator {
public:
    explicit TToneGen(SoundPlayer& player) : ToneGenerator(ToneKind::Whole, player) {}
};

// The frequency of a note name in whole hertz for `kind` (0 when invalid);
// `octave` is the working octave, in and out.
int NoteToFrequency(const std::string& name, std::int32_t& octave, ToneKind kind);
