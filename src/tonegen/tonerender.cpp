// Synthesis of the image: voices, the envelope, the WAV layout, the export
// and the partial table's stream.
#include "tonegen.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>

namespace {

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v)
{
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    for (std::size_t i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t Get32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

} // namespace

bool ToneGenerator::BuildImage(bool envelope)
{
    noise_ = 1;
    const int w = resolution_ == tg16Bit ? 2 : 1;
    const std::int64_t q = quality_ == tgHiQ ? 960 : 441;
    const int channels = stereo_ ? 2 : 1;
    std::int64_t d = w * std::int64_t{duration_} * q / 10;
    if (stereo_)
        d *= 2;
    const std::uint8_t zero = resolution_ == tg16Bit ? 0 : 128;
    const std::uint32_t rate = quality_ == tgHiQ ? 96000 : 44100;

    // The player may be reading the old image.
    player_.Stop();
    soundIdle_ = true;
    image_.clear();
    image_.shrink_to_fit();
    try {
        image_.assign(static_cast<std::size_t>(d + 76), zero);
    } catch (const std::bad_alloc&) {
        image_.clear();
        return false;
    }
    std::memcpy(image_.data(), "RIFF", 4);
    Put32(image_, 4, static_cast<std::uint32_t>(d + 36));
    std::memcpy(image_.data() + 8, "WAVEfmt ", 8);
    Put32(image_, 16, 16);
    Put16(image_, 20, 1);
    Put16(image_, 22, static_cast<std::uint16_t>(channels));
    Put32(image_, 24, rate);
    Put32(image_, 28, static_cast<std::uint32_t>(channels) * rate * static_cast<std::uint32_t>(w));
    Put16(image_, 32, static_cast<std::uint16_t>(channels * w));
    Put16(image_, 34, static_cast<std::uint16_t>(8 * w));
    std::memcpy(image_.data() + 36, "data", 4);
    Put32(image_, 40, static_cast<std::uint32_t>(d));

    int sum = 0;
    for (const std::int16_t a : AMAmplitudes)
        sum += a;
    const auto bytes = static_cast<std::size_t>(d);
    RenderVoice(100 - sum, frequency_, waveform_, bytes);
    for (std::size_t k = 0; k < 8; ++k) {
        int share = AMAmplitudes[k];
        if (sum > 100)
            share = share * 100 / sum;
        double hz;
        if (amUseMultiplier_) {
            const double product = static_cast<double>(AMFrequencies[k]) * frequency_;
            hz = kind_ == ToneKind::Real ? product : std::trunc(product);
            hz = hz < MinFrequency() ? MinFrequency() : hz > 20000 ? 20000 : hz;
        } else {
            hz = std::trunc(static_cast<double>(AMFrequencies[k]));
        }
        RenderVoice(share, hz, AMWaveforms[k], bytes);
    }
    toneStale_ = false;
    envelopeStale_ = true;
    envelopeApplied_ = false;
    if (envelope) {
        ApplyEnvelope(bytes);
        envelopeStale_ = toneStale_ = false;
        envelopeApplied_ = true;
    }
    return true;
}

void ToneGenerator::RenderVoice(int share, double hz, TTGWave wave, std::size_t dataBytes)
{
    if (share <= 0 || !(hz > 0))
        return;
    const bool wide = resolution_ == tg16Bit;
    const double q = quality_ == tgHiQ ? 960 : 441;
    double a = wide ? share * 65534.0 / 100 : share * 254.0 / 100;
    const double b = wide ? -(share * 32767.0) / 100 : -(share * 127.0) / 100;
    const double p = q * 100 / hz;
    // A cycle shorter than two samples (partials in hertz above the sample
    // rate's half) carries nothing a build can render: such a voice is left out.
    if (p < 2)
        return;
    auto length = static_cast<std::int64_t>(std::trunc(p));
    const std::int64_t half = static_cast<std::int64_t>(std::trunc(p + 0.5)) / 2;
    double omega = 0, g = 0, e = 0;
    // sin(i x omega) / 2 for every index a cycle can reach (cycles are trunc(P)
    // or one sample longer): the same values as computing them per sample, at
    // one sine per index instead of one per sample.
    std::vector<double> sine;
    switch (wave) {
    case tgSine:
        omega = 2 * std::numbers::pi / static_cast<double>(length);
        sine.resize(static_cast<std::size_t>(length) + 2);
        for (std::size_t k = 0; k < sine.size(); ++k)
            sine[k] = std::sin(static_cast<double>(k) * omega) / 2;
        break;
    case tgSquare: a = a / 2; break;
    case tgTriangle: g = b; e = a / static_cast<double>(half); break;
    case tgSawtooth: g = b; e = a / static_cast<double>(length); break;
    case tgNoise: break;
    }
    std::int64_t m = 1, i = 0;
    std::uint8_t* data = image_.data() + 44;
    for (std::size_t at = 0; at < dataBytes;) {
        double v = 0;
        switch (wave) {
        case tgSine:
            v = std::trunc((static_cast<std::size_t>(i) < sine.size() ? sine[static_cast<std::size_t>(i)]
                                                                        : std::sin(static_cast<double>(i) * omega) / 2)
                           * a);
            break;
        case tgSquare: v = i < half ? b : a; break;
        case tgTriangle:
            v = std::trunc(g);
            if (i < half) {
                g += e;
            } else {
                g -= e;
                if (g < b)
                    g = b;
            }
            break;
        case tgSawtooth: v = std::trunc(g); g += e; break;
        case tgNoise: {
            noise_ = noise_ * 134775813u + 1u;
            const auto n = static_cast<std::uint64_t>(std::trunc(a + 1));
            v = static_cast<double>((static_cast<std::uint64_t>(noise_) * n) >> 32) + b;
            break;
        }
        }
        const auto add = static_cast<std::int64_t>(std::trunc(v));
        if (wide) {
            const auto old = static_cast<std::int16_t>(data[at] | data[at + 1] << 8);
            const auto sample = static_cast<std::uint16_t>(old + add);
            // An odd data size (16 bits at 44.1 kHz, about every other
            // duration) leaves a last byte that holds no whole sample: it
            // stays silent, and the position moves on past it all the same.
            const int copies = stereo_ ? 2 : 1;
            for (int c = 0; c < copies; ++c, at += 2) {
                if (at + 1 >= dataBytes)
                    continue;
                data[at] = static_cast<std::uint8_t>(sample);
                data[at + 1] = static_cast<std::uint8_t>(sample >> 8);
            }
        } else {
            const auto byte = static_cast<std::uint8_t>(data[at] - 128 + static_cast<std::int64_t>(std::trunc(128 + v)));
            data[at] = byte;
            if (stereo_ && at + 1 < dataBytes)
                data[++at] = byte;
            ++at;
        }
        if (++i == length) {
            i = 0;
            if (wave != tgSine)
                g = b;
            ++m;
            length = static_cast<std::int64_t>(std::trunc(static_cast<double>(m) * p)
                                                - std::trunc(static_cast<double>(m - 1) * p));
        }
    }
}

void ToneGenerator::ApplyEnvelope(std::size_t dataBytes)
{
    const bool wide = resolution_ == tg16Bit;
    const std::int64_t f = (wide ? 2 : 1) * (stereo_ ? 2 : 1);
    const auto d = static_cast<std::int64_t>(dataBytes);
    const std::int64_t frames = d / f;
    std::int64_t shares[5] = {attack_, hold_, decay_, 0, release_};
    const std::int64_t total = shares[0] + shares[1] + shares[2] + shares[4];
    if (total > 100) {
        for (int k = 0; k < 3; ++k)
            shares[k] = shares[k] * 100 / total;
        shares[4] = 100 - shares[0] - shares[1] - shares[2];
    }
    shares[3] = 100 - shares[0] - shares[1] - shares[2] - shares[4];
    const double sigma = sustain_;
    std::uint8_t* data = image_.data() + 44;
    const auto read = [&](std::int64_t frame) {
        const std::uint8_t* s = data + frame * f;
        return wide ? static_cast<std::int64_t>(static_cast<std::int16_t>(s[0] | s[1] << 8)) : std::int64_t{s[0]} - 128;
    };
    const auto write = [&](std::int64_t frame, std::int64_t y) {
        std::uint8_t* s = data + frame * f;
        for (std::int64_t c = 0; c < f; c += wide ? 2 : 1) {
            if (wide) {
                s[c] = static_cast<std::uint8_t>(y);
                s[c + 1] = static_cast<std::uint8_t>(y >> 8);
            } else {
                s[c] = static_cast<std::uint8_t>(y + 128);
            }
        }
    };
    std::int64_t t = 0;
    for (int phase = 0; phase < 5; ++phase) {
        const std::int64_t share = shares[phase];
        if (share == 0)
            continue;
        std::int64_t n;
        if (phase == 3)
            n = shares[4] == 0 ? std::max<std::int64_t>(0, frames - t) : share * d / (f * 100);
        else if (phase == 4)
            n = frames - t;
        else
            n = share * d / (f * 100);
        if (phase != 3 && n <= 0)
            continue;
        const double nd = static_cast<double>(n);
        double u = 0;
        switch (phase) {
        case 0: u = 1 / nd; break;
        case 2: u = (100 - sigma) / nd / 100; break;
        case 3: u = sigma / 100; break;
        case 4: u = sigma / 100 / nd; break;
        default: break;
        }
        for (std::int64_t k = 0; k <= n; ++k) {
            const std::int64_t frame = t + k;
            if (frame >= frames)
                break;
            const std::int64_t x = read(frame);
            const auto kd = static_cast<double>(k * x);
            std::int64_t y = x;
            switch (phase) {
            case 0: y = static_cast<std::int64_t>(std::trunc(kd * u)); break;
            case 2: y = x - static_cast<std::int64_t>(std::trunc(kd * u)); break;
            case 3: y = static_cast<std::int64_t>(std::trunc(static_cast<double>(x) * u)); break;
            case 4: y = static_cast<std::int64_t>(std::trunc(static_cast<double>((n - k) * x) * u)); break;
            default: break;
            }
            write(frame, y);
        }
        t += n + 1;
    }
}

bool ToneGenerator::ExportFile(const std::string& path) const
{
    if (image_.empty())
        return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(image_.data(), 1, image_.size(), file) == image_.size();
    return std::fclose(file) == 0 && written;
}

std::vector<std::uint8_t> ToneGenerator::WriteAMArrayData() const
{
    std::vector<std::uint8_t> out(100, 0);
    Put32(out, 0, 7);
    for (std::size_t k = 0; k < 8; ++k) {
        Put32(out, 4 + 12 * k, static_cast<std::uint32_t>(static_cast<std::int32_t>(AMAmplitudes[k])));
        Put32(out, 8 + 12 * k, AMWaveforms[k]);
        std::uint32_t bits;
        std::memcpy(&bits, &AMFrequencies[k], 4);
        Put32(out, 12 + 12 * k, bits);
    }
    return out;
}

void ToneGenerator::ReadAMArrayData(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return;
    const auto last = static_cast<std::int32_t>(Get32(data));
    for (std::int64_t k = 0; k <= last; ++k) {
        const std::size_t at = 4 + 12 * static_cast<std::size_t>(k);
        if (at + 12 > size)
            return; // a short stream ends the entries
        if (k > 7)
            continue; // read and discarded: there are eight entries
        AMAmplitudes[k] = static_cast<std::int16_t>(Get32(data + at));
        AMWaveforms[k] = static_cast<TTGWave>(Get32(data + at + 4) & 0xFF);
        const std::uint32_t bits = Get32(data + at + 8);
        std::memcpy(&AMFrequencies[k], &bits, 4);
    }
}
