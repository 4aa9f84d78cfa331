// vantrel-tone: builds one tone image with Vantrel's tone generator and writes
// it as a WAV file or plays it.
#include "morse/morse.h"
#include "settings/options.h"
#include "tonegen/sdlplayer.h"
#include "tonegen/tonegen.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <sstream>
#include <string>

namespace {

const char* const kUsage =
        "Usage: vantrel-tone [options] (--output FILE.wav | --play)\n"
        "\n"
        "Builds one tone image with Vantrel's tone generator, then writes it to a WAV\n"
        "file or plays it once on the sound card.\n"
        "\n"
        "  --frequency HZ       tone frequency, 10 to 20000 (440); clamped like the generator\n"
        "  --note NAME          a note name instead: A, C#, >A, O4E-, N48 ...\n"
        "  --whole              whole-hertz generator (20 to 20000 Hz), as for the identification\n"
        "  --duration MS        image length, 10 to 32767 ms (100)\n"
        "  --waveform W         sine, square, triangle, sawtooth or noise (sine)\n"
        "  --resolution BITS    16 or 8 (16)\n"
        "  --quality Q          hi (96000 samples/s) or lo (44100) (hi)\n"
        "  --stereo             two identical channels\n"
        "  --envelope A,H,D,S,R attack, hold, decay, sustain level, release in percent\n"
        "  -o, --output FILE    write the image (- : to standard output)\n"
        "  --play               play the image once and wait for its end\n"
        "  -h, --help           this text\n"
        "  -V, --version        the version of the program and of this build\n"
        "\n"
        "Options take their value as --name=VALUE or --name VALUE. Exit status: 0 done,\n"
        "1 the image cannot be written or played, 2 a wrong command line.\n";

int Fail(const std::string& message)
{
    std::fprintf(stderr, "vantrel-tone: %s\nTry 'vantrel-tone --help'.\n", message.c_str());
    return 2;
}

std::optional<int> Whole(const std::string& text)
{
    const auto v = ToInteger(text);
    if (!v || text.find_first_not_of("+-0123456789") != std::string::npos)
        return std::nullopt;
    return *v;
}

} // namespace

int main(int argc, char* argv[])
{
    const ParsedOptions parsed = ParseOptions({argv + 1, argv + argc}, {
        {"help", 'h', OptionSpec::None}, {"version", 'V', OptionSpec::None},
        {"stereo", 0, OptionSpec::None}, {"play", 0, OptionSpec::None}, {"whole", 0, OptionSpec::None},
        {"frequency", 0, OptionSpec::Required}, {"note", 0, OptionSpec::Required},
        {"duration", 0, OptionSpec::Required}, {"waveform", 0, OptionSpec::Required},
        {"resolution", 0, OptionSpec::Required}, {"quality", 0, OptionSpec::Required},
        {"envelope", 0, OptionSpec::Required}, {"output", 'o', OptionSpec::Required}});
    if (AnswerInfoOption(parsed, "vantrel-tone", kUsage))
        return 0;
    if (!parsed.fault.empty())
        return Fail(parsed.fault);
    if (!parsed.words.empty())
        return Fail("unexpected '" + parsed.words.front() + "'");
    // The valued options by their command-line spelling, the last one given.
    std::map<std::string, std::string> opts;
    for (const ParsedOptions::Given& given : parsed.options)
        if (given.value)
            opts["--" + given.name] = *given.value;
    const bool stereo = parsed.Has("stereo"), play = parsed.Has("play"), whole = parsed.Has("whole");
    if (opts.count("--output") == play)
        return Fail(play ? "--play and --output exclude each other" : "give --output FILE or --play");
    if (opts.count("--frequency") && opts.count("--note"))
        return Fail("--frequency and --note exclude each other");

    SilentPlayer silent;
    SoundPlayer& player = play ? static_cast<SoundPlayer&>(SdlPlayer::Instance()) : silent;
    TMyToneGen real(player);
    TToneGen integral(player);
    ToneGenerator& tone = whole ? static_cast<ToneGenerator&>(integral) : real;

    if (opts.count("--frequency")) {
        const auto hz = ToFloat(opts["--frequency"]);
        if (!hz || *hz <= 0)
            return Fail("--frequency takes a number of hertz, not '" + opts["--frequency"] + "'");
        tone.SetFrequency(*hz);
    }
    if (opts.count("--note") && tone.SetNote(opts["--note"]) == 0)
        return Fail("'" + opts["--note"] + "' is not a note name this generator can sound");
    if (opts.count("--duration")) {
        const auto ms = Whole(opts["--duration"]);
        if (!ms || *ms < 10 || *ms > 32767)
            return Fail("--duration takes 10 to 32767 ms, not '" + opts["--duration"] + "'");
        tone.SetDuration(*ms);
    }
    if (opts.count("--waveform")) {
        static const std::map<std::string, TTGWave> waves = {{"sine", tgSine}, {"square", tgSquare},
            {"triangle", tgTriangle}, {"sawtooth", tgSawtooth}, {"noise", tgNoise}};
        const auto it = waves.find(opts["--waveform"]);
        if (it == waves.end())
            return Fail("--waveform takes sine, square, triangle, sawtooth or noise");
        tone.SetWaveform(it->second);
    }
    if (opts.count("--resolution")) {
        if (opts["--resolution"] != "16" && opts["--resolution"] != "8")
            return Fail("--resolution takes 16 or 8");
        tone.SetResolution(opts["--resolution"] == "8" ? tg8Bit : tg16Bit);
    }
    if (opts.count("--quality")) {
        if (opts["--quality"] != "hi" && opts["--quality"] != "lo")
            return Fail("--quality takes hi or lo");
        tone.SetQuality(opts["--quality"] == "lo" ? tgLoQ : tgHiQ);
    }
    tone.SetStereo(stereo);
    const bool envelope = opts.count("--envelope") != 0;
    if (envelope) {
        std::stringstream in(opts["--envelope"]);
        int shares[5];
        std::string part;
        for (int k = 0; k < 5; ++k) {
            if (!std::getline(in, part, ',') || !Whole(part) || *Whole(part) < 0 || *Whole(part) > 100)
                return Fail("--envelope takes five percentages A,H,D,S,R from 0 to 100");
            shares[k] = *Whole(part);
        }
        if (std::getline(in, part, ','))
            return Fail("--envelope takes five percentages A,H,D,S,R from 0 to 100");
        tone.SetAttack(shares[0]);
        tone.SetHold(shares[1]);
        tone.SetDecay(shares[2]);
        tone.SetSustain(shares[3]);
        tone.SetRelease(shares[4]);
    }

    if (!tone.BuildImage(envelope))
        return Fail("not enough memory for the image");
    if (play) {
        SdlPlayer::Instance().SetProgramName("vantrel-tone");
        tone.Async = false;
        tone.Loop = false;
        envelope ? tone.PlayADSR() : tone.Play();
        // The player has said why on standard error.
        return SdlPlayer::Instance().Failed() ? 1 : 0;
    }
    const std::string& output = opts["--output"];
    if (output == "-") {
        // The image alone on standard output; the summary goes to standard error.
        const bool written = std::fwrite(tone.GetDataBuffer(), 1, tone.ImageSize(), stdout) == tone.ImageSize()
            && std::fflush(stdout) == 0;
        if (!written) {
            std::fprintf(stderr, "vantrel-tone: cannot write to standard output: %s\n", std::strerror(errno));
            return 1;
        }
        std::fprintf(stderr, "-: %zu bytes, %.1f Hz\n", tone.ImageSize(), tone.Frequency());
        return 0;
    }
    errno = 0;
    if (!tone.ExportFile(output)) {
        std::fprintf(stderr, "vantrel-tone: cannot write %s: %s\n", output.c_str(),
                     errno != 0 ? std::strerror(errno) : "the image is empty");
        return 1;
    }
    std::printf("%s: %zu bytes, %.1f Hz\n", output.c_str(), tone.ImageSize(), tone.Frequency());
    return 0;
}
