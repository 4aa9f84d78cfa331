// vantrel-tone: builds one tone image with Vantrel's tone generator and writes
// it as a WAV file or plays it.
#include "morse/morse.h"
#include "tonegen/sdlplayer.h"
#include "tonegen/tonegen.h"

#include <cstdio>
#include <map>
#include <optional>
#include <sstream>
#include <string>

namespace {

void Usage(std::FILE* out)
{
    std::fputs(
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
        "  --output FILE        write the image\n"
        "  --play               play the image once and wait for its end\n"
        "  --help               this text\n",
        out);
}

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
    std::map<std::string, std::string> opts;
    bool stereo = false, play = false, whole = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            Usage(stdout);
            return 0;
        }
        if (arg == "--stereo" || arg == "--play" || arg == "--whole") {
            (arg == "--stereo" ? stereo : arg == "--play" ? play : whole) = true;
            continue;
        }
        static const char* valued[] = {"--frequency", "--note", "--duration", "--waveform", "--resolution",
                                       "--quality", "--envelope", "--output"};
        bool known = false;
        for (const char* v : valued)
            known = known || arg == v;
        if (!known)
            return Fail("unknown option '" + arg + "'");
        if (i + 1 >= argc)
            return Fail(arg + " needs a value");
        opts[arg] = argv[++i];
    }
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
        tone.Async = false;
        tone.Loop = false;
        envelope ? tone.PlayADSR() : tone.Play();
        return 0;
    }
    if (!tone.ExportFile(opts["--output"])) {
        std::fprintf(stderr, "vantrel-tone: cannot write %s\n", opts["--output"].c_str());
        return 1;
    }
    std::printf("%s: %zu bytes, %.1f Hz\n", opts["--output"].c_str(), tone.ImageSize(), tone.Frequency());
    return 0;
}
