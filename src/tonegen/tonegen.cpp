// Properties, the partial table, playback, volume and note names.
#include "tonegen.h"

#include <cctype>
#include <cmath>
#include <cstring>

namespace {
std::array<std::int32_t, 2> liveCount{};
std::array<std::uint32_t, 2> savedVolume{};
std::size_t Index(ToneKind kind) { return kind == ToneKind::Real ? 0 : 1; }
} // namespace

std::int32_t ToneGenerator::LiveCount(ToneKind kind) { return liveCount[Index(kind)]; }
std::uint32_t ToneGenerator::SavedDeviceVolume(ToneKind kind) { return savedVolume[Index(kind)]; }

ToneGenerator::ToneGenerator(ToneKind kind, SoundPlayer& player) : kind_(kind), player_(player)
{
    ResetAM();
    AMOctaves.fill(4);
    SetAMLevel(tgAMLevel1);
    toneStale_ = envelopeStale_ = envelopeApplied_ = true;
    if (liveCount[Index(kind_)] == 0) {
        savedVolume[Index(kind_)] = ReadDeviceVolume();
        ApplyVolume();
    }
    ++liveCount[Index(kind_)];
}

ToneGenerator::~ToneGenerator()
{
    Stop();
    image_.clear();
    if (--liveCount[Index(kind_)] == 0)
        player_.SetVolume(savedVolume[Index(kind_)]);
}

void ToneGenerator::SetFrequency(double hz)
{
    double value = std::isnan(hz) ? MinFrequency() : hz;
    if (kind_ == ToneKind::Whole)
        value = std::trunc(value); // whole hertz
    frequency_ = value < MinFrequency() ? MinFrequency() : value > 20000 ? 20000 : value;
    toneStale_ = true;
}

void ToneGenerator::SetDuration(int ms)
{
    duration_ = Clamp(ms, 10, 32767);
    toneStale_ = true;
}

void ToneGenerator::SetWaveform(TTGWave wave)
{
    waveform_ = wave;
    toneStale_ = true;
}

void ToneGenerator::SetAMLevel(TTGAMLevel level)
{
    amLevel_ = level > tgAMLevel8 ? tgAMLevel8 : level;
    SetAMAmplitude(AMAmplitudes[amLevel_]);
    SetAMWaveform(AMWaveforms[amLevel_]);
    SetAMFrequency(AMFrequencies[amLevel_]);
}

void ToneGenerator::SetAMAmplitude(int percent)
{
    amAmplitude_ = Clamp(percent, 0, 100);
    AMAmplitudes[amLevel_] = amAmplitude_;
    toneStale_ = true;
}

void ToneGenerator::SetAMWaveform(TTGWave wave)
{
    amWaveform_ = wave;
    AMWaveforms[amLevel_] = wave;
    toneStale_ = true;
}

void ToneGenerator::SetAMFrequency(float value)
{
    amFrequency_ = value;
    AMFrequencies[amLevel_] = value;
    toneStale_ = true;
}

void ToneGenerator::ResetAM()
{
    for (std::size_t k = 0; k < 8; ++k) {
        AMAmplitudes[k] = 0;
        AMWaveforms[k] = tgSine;
        AMFrequencies[k] = static_cast<float>(k + 1) / 2.0f;
    }
    toneStale_ = true;
}

void ToneGenerator::SetAMParameter(TTGAMLevel level, std::int16_t amplitude, TTGWave wave, float frequency)
{
    if (level > tgAMLevel8)
        return;
    AMAmplitudes[level] = amplitude;
    AMWaveforms[level] = wave;
    AMFrequencies[level] = frequency;
    toneStale_ = true;
}

void ToneGenerator::SetLeftVolume(int percent)
{
    left_ = Clamp(percent, 0, 100);
    if (soundIdle_)
        ApplyVolume();
}

void ToneGenerator::SetRightVolume(int percent)
{
    right_ = Clamp(percent, 0, 100);
    if (soundIdle_)
        ApplyVolume();
}

void ToneGenerator::ApplyVolume()
{
    player_.SetVolume(static_cast<std::uint32_t>(left_ * 65535 / 100)
                      | static_cast<std::uint32_t>(right_ * 65535 / 100) << 16);
}

std::uint32_t ToneGenerator::ReadDeviceVolume() const
{
    std::uint32_t volume = player_.Volume();
    if (!player_.SeparateLeftRight())
        volume = (volume & 0xFFFF) | (volume & 0xFFFF) << 16;
    return volume;
}

void ToneGenerator::StartSound()
{
    Stop();
    ApplyVolume();
    if (!image_.empty())
        player_.Play(image_.data(), image_.size(), Loop, Async);
}

void ToneGenerator::Play() { PlayImage(false); }
void ToneGenerator::PlayADSR() { PlayImage(true); }

void ToneGenerator::PlayImage(bool envelope)
{
    // Without the envelope: rebuilt when stale or when the image has one;
    // with it: when stale or when the image lacks a current envelope.
    if (toneStale_ || (envelope ? envelopeStale_ : envelopeApplied_))
        BuildImage(envelope);
    soundIdle_ = false;
    StartSound();
    soundIdle_ = !Async && !Loop;
}

void ToneGenerator::Stop()
{
    player_.Stop();
    soundIdle_ = true;
}

void ToneGenerator::Prepare()
{
    ApplyVolume();
    BuildImage(false);
}

void ToneGenerator::PrepareADSR()
{
    ApplyVolume();
    BuildImage(true);
}

int ToneGenerator::SetNote(const std::string& name)
{
    std::int32_t octave = NoteOctave;
    const int hz = NoteToFrequency(name, octave, kind_);
    if (hz == 0)
        return 0;
    SetFrequency(hz);
    NoteOctave = octave;
    return hz;
}

float ToneGenerator::SetAMNote(TTGAMLevel level, const std::string& name)
{
    if (level > tgAMLevel8)
        return 0;
    std::int32_t octave = AMOctaves[level];
    const int hz = NoteToFrequency(name, octave, kind_);
    if (hz == 0)
        return 0;
    float value = static_cast<float>(hz);
    if (amUseMultiplier_)
        value = static_cast<float>(value / frequency_);
    AMFrequencies[level] = value;
    AMOctaves[level] = octave;
    toneStale_ = true;
    return value;
}

int NoteToFrequency(const std::string& raw, std::int32_t& octave, ToneKind kind)
{
    std::size_t first = 0, last = raw.size();
    while (first < last && static_cast<unsigned char>(raw[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(raw[last - 1]) <= ' ')
        --last;
    std::string name;
    for (std::size_t i = first; i < last; ++i)
        name += static_cast<char>(std::toupper(static_cast<unsigned char>(raw[i])));

    std::int32_t work = octave;
    std::size_t at = 0;
    int note = 0;
    if (!name.empty() && name[0] == 'N') {
        const std::string digits = name.substr(1);
        if (digits.empty() || digits.size() > 4 || digits.find_first_not_of("0123456789") != std::string::npos)
            return 0;
        note = std::stoi(digits);
        if (note > 121)
            return 0;
        at = name.size();
    } else {
        if (!name.empty() && name[0] == 'O') {
            if (name.size() < 2 || name[1] < '0' || name[1] > '9')
                return 0;
            work = name[1] - '0';
            at = 2;
        } else {
            while (at < name.size() && (name[at] == '<' || name[at] == '>')) {
                work = name[at] == '<' ? std::max(0, work - 1) : std::min(9, work + 1);
                ++at;
            }
        }
        if (at >= name.size())
            return 0;
        static constexpr int semitones[] = {0, 2, 3, 5, 7, 8, 10}; // A..G
        const char letter = name[at];
        if (letter < 'A' || letter > 'G')
            return 0;
        int s = semitones[letter - 'A'];
        ++at;
        if (at < name.size() && (name[at] == '+' || name[at] == '#')) {
            if (letter == 'B' || letter == 'E')
                return 0;
            ++s;
            ++at;
        } else if (at < name.size() && name[at] == '-') {
            if (letter == 'C' || letter == 'F')
                return 0;
            if (letter == 'A') {
                if (work == 0)
                    return 0;
                --work;
                s = 11;
            } else {
                --s;
            }
            ++at;
        }
        note = s + 12 * work;
    }
    if (at != name.size())
        return 0;
    const int hz = static_cast<int>(std::trunc(440.0 * std::pow(2.0, (note - 48) / 12.0) + 0.5));
    const int lowest = kind == ToneKind::Real ? 10 : 20;
    if (hz < lowest || hz > 20000)
        return 0;
    octave = work;
    return hz;
}
