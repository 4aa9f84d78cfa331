#include "settingstext.h"

#include "morse.h"
#include "settings/settingrules.h"
#include "settings/settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>

namespace {

// One value read and checked; applied only when every assignment passed.
struct Parsed {
    std::string rule;   // why the value is refused; empty when it is valid
    double number = 0;  // the new value, for the checks across settings
    std::function<void()> apply;
};

struct Entry {
    std::string name;
    std::function<std::string()> show; // the value, optionally "  # comment"
    std::function<Parsed(const std::string& value)> parse;
};

Parsed Refuse(std::string rule) { return {std::move(rule), 0, {}}; }

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::optional<bool> ReadBool(const std::string& value)
{
    const std::string v = Lower(value);
    if (v == "true" || v == "1" || v == "yes")
        return true;
    if (v == "false" || v == "0" || v == "no")
        return false;
    return std::nullopt;
}

// A whole number as the dialogs' number fields take it: an optional sign
// and decimal digits. Only the wiring is written in hexadecimal.
std::optional<std::int64_t> ReadWhole(const std::string& value)
{
    const std::size_t digits = !value.empty() && (value[0] == '+' || value[0] == '-') ? 1 : 0;
    if (value.size() == digits || value.find_first_not_of("0123456789", digits) != std::string::npos)
        return std::nullopt;
    return ToInteger(value);
}

std::string Commented(const std::string& value, const std::string& comment)
{
    return comment.empty() ? value : value + "  # " + comment;
}

Entry Bool(const char* name, bool& setting, const char* whenTrue = nullptr, const char* whenFalse = nullptr)
{
    return {name,
            [&setting, whenTrue, whenFalse] {
                const char* comment = setting ? whenTrue : whenFalse;
                return Commented(setting ? "true" : "false", comment ? comment : "");
            },
            [&setting](const std::string& value) {
                const auto v = ReadBool(value);
                if (!v)
                    return Refuse("true or false (also 1, 0, yes, no)");
                return Parsed{{}, *v ? 1.0 : 0.0, [&setting, b = *v] { setting = b; }};
            }};
}

// A whole number that `valid` accepts, stored by `store`.
template <typename T>
Entry Whole(const char* name, T& setting, bool (*valid)(std::int64_t), const char* rule,
            std::function<std::string(std::int64_t)> comment = {})
{
    return {name,
            [&setting, comment] {
                const std::int64_t v = setting;
                return Commented(std::to_string(v), comment ? comment(v) : "");
            },
            [&setting, valid, rule](const std::string& value) {
                const auto v = ReadWhole(value);
                if (!v || !valid(*v))
                    return Refuse(rule);
                return Parsed{{}, double(*v), [&setting, n = *v] { setting = static_cast<T>(n); }};
            }};
}

// Milliseconds that are whole seconds `valid` accepts.
Entry Seconds(const char* name, std::int32_t& setting, bool (*valid)(std::int64_t), const char* rule)
{
    return {name, [&setting] { return Commented(std::to_string(setting), "ms"); },
            [&setting, valid, rule](const std::string& value) {
                const auto ms = ReadWhole(value);
                if (!ms || *ms % 1000 != 0 || !valid(*ms / 1000))
                    return Refuse(rule);
                return Parsed{{}, double(*ms), [&setting, n = *ms] { setting = n; }};
            }};
}

std::string RealText(double v)
{
    char text[40];
    if (std::isfinite(v) && std::fabs(v) < 1e15 && RoundToTenth(v) == v)
        std::snprintf(text, sizeof text, "%.1f", v);
    else
        std::snprintf(text, sizeof text, "%.17g", v); // as held; only a file written by hand
    return text;
}

// A real number that `valid` accepts, stored rounded to tenths.
Entry Tenths(const char* name, double& setting, bool (*valid)(double), const char* rule, const char* unit = "")
{
    return {name, [&setting, unit] { return Commented(RealText(setting), unit); },
            [&setting, valid, rule](const std::string& value) {
                const auto v = ToFloat(value);
                if (!v || !valid(*v))
                    return Refuse(rule);
                return Parsed{{}, RoundToTenth(*v), [&setting, r = RoundToTenth(*v)] { setting = r; }};
            }};
}

bool ByteInRange(std::int64_t v, std::int64_t high) { return v >= 0 && v <= high; }

std::string Hex(unsigned byte)
{
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02X", byte);
    return text;
}

std::string Quoted(const std::string& bytes)
{
    std::string out = "\"";
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\')
            out += {'\\', c};
        else if (u < 0x20 || u > 0x7e)
            out += Hex(u);
        else
            out += c;
    }
    return out + '"';
}

// The bytes of a text in double quotes; `rest` receives what follows the
// closing quote. False, with `fault` set, for a wrong escape or no closing quote.
bool Unquote(const std::string& value, std::string& bytes, std::string& rest, std::string& fault)
{
    bytes.clear();
    for (std::size_t i = 1; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '"') {
            rest = value.substr(i + 1);
            return true;
        }
        if (c != '\\') {
            bytes += c;
            continue;
        }
        const char next = i + 1 < value.size() ? value[i + 1] : '\0';
        if (next == '"' || next == '\\') {
            bytes += next;
            ++i;
        } else if (next == 'x' && i + 3 < value.size() && std::isxdigit(static_cast<unsigned char>(value[i + 2]))
                   && std::isxdigit(static_cast<unsigned char>(value[i + 3]))) {
            bytes += static_cast<char>(std::stoi(value.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            fault = "escapes in a text are \\\" \\\\ and \\xHH";
            return false;
        }
    }
    fault = "a text in double quotes needs its closing quote";
    return false;
}

Entry Text(int k)
{
    auto& setting = Texts[static_cast<std::size_t>(k)];
    return {"Texts[" + std::to_string(k) + "]", [&setting] { return Quoted(setting); },
            [&setting, k](const std::string& value) {
                std::string text = value, rest, fault;
                if (!value.empty() && value.front() == '"') {
                    if (!Unquote(value, text, rest, fault))
                        return Refuse(fault);
                    if (!TrimSpaces(rest).empty())
                        return Refuse("nothing may follow the closing quote");
                }
                // The text dialog's edit upper-cases letters as they are typed,
                // Latin-1 ones too (but for ÿ and µ, whose capitals lie outside).
                for (char& c : text) {
                    const auto u = static_cast<unsigned char>(c);
                    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7))
                        c = static_cast<char>(u - 0x20);
                }
                if (text.size() > kTextMax)
                    return Refuse("at most " + std::to_string(kTextMax) + " characters");
                if (const char bad = FirstInvalidChar(text); bad != ' ') {
                    const auto u = static_cast<unsigned char>(bad);
                    return Refuse((u < 0x20 || u > 0x7e ? Hex(u) : std::string(1, bad)) + " is an invalid CW character");
                }
                return Parsed{{}, 0, [&setting, text, k] {
                                  setting = text;
                                  if (k == kStartIdText)
                                      StartId.Text = text;
                                  if (k == kStopIdText)
                                      StopId.Text = text;
                              }};
            }};
}

std::string PortName(std::int64_t port)
{
    if (port == kPortNone)
        return "None";
    if (port >= 1 && port <= 9)
        return "COM" + std::to_string(port);
    if (port == kPortLpt1 || port == kPortLpt2)
        return "LPT" + std::to_string(port - kPortLpt1 + 1);
    if (port == kPortGpio)
        return "GPIO";
    if (port == kPortHamlib)
        return "Radio";
    return "no port";
}

Entry Port()
{
    return {"PortNumber", [] { return Commented(std::to_string(PortNumber), PortName(PortNumber)); },
            [](const std::string& value) {
                std::optional<std::int64_t> port;
                for (const std::int64_t p : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 20, 21, 30, 31})
                    if (Lower(value) == Lower(PortName(p)))
                        port = p;
                if (!port)
                    port = ReadWhole(value);
                if (!port || !PortNumberValid(*port))
                    return Refuse("0 (None), 1..9 (COM1..COM9), 20 (LPT1), 21 (LPT2), 30 (GPIO) or 31 (Radio), by number or name");
                return Parsed{{}, double(*port), [p = *port] { PortNumber = static_cast<std::uint8_t>(p); }};
            }};
}

Entry Wiring()
{
    return {"LptWiring",
            [] {
                char text[8];
                std::snprintf(text, sizeof text, "0x%02X", LptWiring);
                return Commented(text, LptWiring == kWiringStandard ? "standard wiring"
                                       : LptWiring == kWiringDx4win ? "DX4WIN compatible" : "");
            },
            [](const std::string& value) {
                const auto v = ToInteger(value);
                if (!v || (*v != kWiringStandard && *v != kWiringDx4win))
                    return Refuse("0x56 (standard wiring) or 0x44 (DX4WIN compatible)");
                return Parsed{{}, double(*v), [n = *v] { LptWiring = static_cast<std::uint8_t>(n); }};
            }};
}

Entry Speed(const char* name)
{
    return {name, [] { return std::to_string(StartId.Wpm); },
            [](const std::string& value) {
                const auto v = ReadWhole(value);
                if (!v || std::find(kIdSpeeds.begin(), kIdSpeeds.end(), *v) == kIdSpeeds.end())
                    return Refuse("6, 9, 12 or 15 (WPM, one speed for both identifications)");
                // The identification dialog sets both, and the file holds one.
                return Parsed{{}, double(*v), [n = *v] { StartId.Wpm = StopId.Wpm = static_cast<std::uint8_t>(n); }};
            }};
}

std::string Pick(std::int64_t v, std::initializer_list<const char*> names)
{
    return v >= 0 && static_cast<std::size_t>(v) < names.size() ? names.begin()[v] : "";
}

const std::vector<Entry>& Entries()
{
    static const std::vector<Entry> entries = [] {
        std::vector<Entry> e;
        e.push_back(Bool("DfcwMode", DfcwMode, "DFCW", "QRSS"));
        e.push_back(Whole("RatioCode", RatioCode, [](std::int64_t v) { return ByteInRange(v, 3); },
                          "0..3: with QRSS 3 or 2 (dash-dot ratio), with DFCW 1, 2 or 0 (single, double or half space)",
                          [](std::int64_t v) {
                              return DfcwMode ? Pick(v, {"half space", "single space", "double space"})
                                              : Pick(v, {"", "", "dash-dot ratio 2", "dash-dot ratio 3"});
                          }));
        e.push_back(Seconds("DotLength", DotLength, DotSecondsValid, "milliseconds of whole seconds, 1000..3599000"));
        e.push_back(Seconds("KeyGap", KeyGap, KeyGapSecondsValid, "milliseconds of whole seconds, 0..3599000"));
        e.push_back(Bool("FskNormal", FskNormal, "normal", "reverse"));
        e.push_back(Bool("OmitKeyGaps", OmitKeyGaps));
        e.push_back(Whole("TextNumber", TextNumber, [](std::int64_t v) { return v >= 1 && v <= 10; }, "1..10"));
        for (int k = 1; k <= 12; ++k)
            e.push_back(Text(k));
        e.push_back(Port());
        e.push_back(Bool("ComSwap", ComSwap, "DTR = key , RTS = PTT/DFCW", "RTS = key , DTR = PTT/DFCW"));
        e.push_back(Wiring());
        e.push_back(Whole("RepeatCount", RepeatCount, RepeatByteValid, "0..255 (0 = endless)",
                          [](std::int64_t v) { return v == 0 ? "endless" : ""; }));
        e.push_back(Whole("RepeatInterval", RepeatInterval, RepeatByteValid, "0..255 (minutes, 0 = non-stop)",
                          [](std::int64_t) { return "minutes"; }));
        e.push_back(Whole("SyncPeriod", SyncPeriod, [](std::int64_t v) { return ByteInRange(v, kMaxSyncPeriod); },
                          "0..6: disabled, 1, 2, 5, 10, 30 minutes, 1 hour", [](std::int64_t v) {
                              return Pick(v, {"disabled", "1 minute", "2 minutes", "5 minutes", "10 minutes",
                                              "30 minutes", "1 hour"});
                          }));
        e.push_back(Whole("QskMode", QskMode, [](std::int64_t v) { return ByteInRange(v, kMaxQskMode); },
                          "0..3: disabled, between elements, characters or words", [](std::int64_t v) {
                              return Pick(v, {"disabled", "between elements", "between characters", "between words"});
                          }));
        const auto delay = [](std::int64_t v) {
            return std::find(kQskDelays.begin(), kQskDelays.end(), v) != kQskDelays.end();
        };
        const auto ms = [](std::int64_t) { return "ms"; };
        e.push_back(Whole("TxDelay", TxDelay, delay, "0, 100, 300 or 1000 (ms)", ms));
        e.push_back(Whole("RxDelay", RxDelay, delay, "0, 100, 300 or 1000 (ms)", ms));
        e.push_back(Bool("StartId.Enabled", StartId.Enabled));
        e.push_back(Speed("StartId.Wpm"));
        e.push_back(Bool("StopId.Enabled", StopId.Enabled));
        e.push_back(Speed("StopId.Wpm"));
        e.push_back(Bool("SidetoneOn", SidetoneOn));
        e.push_back(Bool("DfcwToneOn", DfcwToneOn));
        e.push_back(Bool("UseSpeaker", UseSpeaker, "internal PC speaker", "soundcard"));
        e.push_back(Tenths("SidetoneFreq", SidetoneFreq, ToneHzValid, "20..20000 (Hz)", "Hz"));
        e.push_back(Tenths("DotToneFreq", DotToneFreq, ToneHzValid, "20..20000 (Hz)", "Hz"));
        e.push_back(Tenths("DashToneFreq", DashToneFreq, ToneHzValid, "20..20000 (Hz)", "Hz"));
        e.push_back(Tenths("SoundLevel", SoundLevel, SoundLevelValid, "0..100"));
        e.push_back(Whole("AlarmTime", AlarmTime, AlarmSecondsValid, "0..999 (seconds, 0 = off)",
                          [](std::int64_t v) { return v == 0 ? "off" : "seconds"; }));
        return e;
    }();
    return entries;
}

std::string Where(int line) { return line > 0 ? "line " + std::to_string(line) + ": " : ""; }

std::string BoolText(double v) { return v != 0 ? "true" : "false"; }

} // namespace

std::vector<std::string> SettingNames()
{
    std::vector<std::string> names;
    for (const Entry& entry : Entries())
        names.push_back(entry.name);
    return names;
}

std::string SettingsText()
{
    std::string text;
    for (const Entry& entry : Entries())
        text += entry.name + " = " + entry.show() + '\n';
    return text;
}

bool SplitAssignment(const std::string& arg, SettingAssignment& out)
{
    const auto equals = arg.find('=');
    if (equals == std::string::npos)
        return false;
    out = {TrimSpaces(arg.substr(0, equals)), arg.substr(equals + 1), 0};
    return true;
}

std::vector<SettingAssignment> ReadSettingLines(const std::string& text, std::vector<std::string>& errors)
{
    std::vector<SettingAssignment> out;
    std::size_t at = 0;
    for (int line = 1; at < text.size(); ++line) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string content = text.substr(at, end - at);
        at = end + 1;
        if (!content.empty() && content.back() == '\r')
            content.pop_back();
        std::replace(content.begin(), content.end(), '\t', ' ');
        content = TrimSpaces(content);
        if (content.empty() || content.front() == '#')
            continue;
        SettingAssignment a;
        if (!SplitAssignment(content, a) || a.name.empty()) {
            errors.push_back(Where(line) + "not a setting: NAME = VALUE");
            continue;
        }
        a.line = line;
        std::string value = TrimSpaces(a.value);
        if (!value.empty() && value.front() == '"') {
            std::string bytes, rest, fault;
            if (!Unquote(value, bytes, rest, fault)) {
                errors.push_back(Where(line) + a.name + ": " + fault);
                continue;
            }
            rest = TrimSpaces(rest);
            if (!rest.empty() && rest.front() != '#') {
                errors.push_back(Where(line) + a.name + ": nothing but a comment may follow the closing quote");
                continue;
            }
            value.resize(value.size() - rest.size());
            value = TrimSpaces(value);
        } else {
            value = TrimSpaces(value.substr(0, value.find('#')));
        }
        a.value = value;
        out.push_back(a);
    }
    return out;
}

std::vector<std::string> ApplySettings(const std::vector<SettingAssignment>& assignments)
{
    std::vector<std::string> faults;
    std::map<std::string, std::pair<const SettingAssignment*, Parsed>> given;
    for (const SettingAssignment& a : assignments) {
        const auto& entries = Entries();
        const auto entry = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.name == a.name; });
        if (entry == entries.end()) {
            faults.push_back(Where(a.line) + "unknown setting " + a.name);
            continue;
        }
        if (const auto seen = given.find(a.name); seen != given.end()) {
            const int first = seen->second.first->line;
            faults.push_back(Where(a.line) + a.name + " is given more than once"
                             + (first > 0 ? " (first on line " + std::to_string(first) + ")" : ""));
            continue;
        }
        // A text keeps its spaces; any other value is read without them.
        const bool text = a.name.starts_with("Texts[");
        const std::string value = text ? a.value : TrimSpaces(a.value);
        Parsed parsed = entry->parse(value);
        if (!parsed.rule.empty())
            faults.push_back(Where(a.line) + a.name + " = " + value + ": " + parsed.rule);
        given.emplace(a.name, std::pair{&a, std::move(parsed)});
    }
    if (!faults.empty())
        return faults;

    // The checks across settings, on the values they are about to take.
    const auto named = [&](const char* name) { return given.count(name) != 0; };
    const auto value = [&](const char* name, double current) {
        const auto it = given.find(name);
        return it != given.end() ? it->second.second.number : current;
    };
    const auto where = [&](std::initializer_list<const char*> names) {
        int line = 0;
        for (const char* name : names)
            if (named(name))
                line = std::max(line, given.at(name).first->line);
        return Where(line);
    };
    const bool dfcw = value("DfcwMode", DfcwMode) != 0;
    const double ratio = value("RatioCode", RatioCode);
    if ((named("DfcwMode") || named("RatioCode")) && !ModeChoiceValid(dfcw, static_cast<std::uint8_t>(ratio)))
        faults.push_back(where({"DfcwMode", "RatioCode"}) + "RatioCode = " + std::to_string(int(ratio))
                         + " with DfcwMode = " + BoolText(dfcw)
                         + ": the mode is QRSS (DfcwMode = false) with RatioCode 3 or 2, or DFCW with 1, 2 or 0");
    if (named("StartId.Wpm") && named("StopId.Wpm") && value("StartId.Wpm", 0) != value("StopId.Wpm", 0))
        faults.push_back(where({"StartId.Wpm", "StopId.Wpm"}) + "StopId.Wpm = "
                         + std::to_string(int(value("StopId.Wpm", 0))) + " with StartId.Wpm = "
                         + std::to_string(int(value("StartId.Wpm", 0))) + ": both identifications share one speed");
    const double alarm = value("AlarmTime", AlarmTime);
    const bool sidetone = value("SidetoneOn", SidetoneOn) != 0, speaker = value("UseSpeaker", UseSpeaker) != 0;
    if ((named("AlarmTime") || named("SidetoneOn") || named("UseSpeaker"))
        && AlarmCutsSidetone(static_cast<std::uint16_t>(alarm), sidetone, speaker))
        faults.push_back(where({"AlarmTime", "SidetoneOn", "UseSpeaker"}) + "AlarmTime = "
                         + std::to_string(int(alarm)) + " with SidetoneOn = true and UseSpeaker = true"
                         + ": the alarm chirps on the PC speaker that sounds the sidetone; "
                           "set SidetoneOn=false or UseSpeaker=false, or AlarmTime=0");
    if (!faults.empty())
        return faults;
    for (const SettingAssignment& a : assignments)
        given.at(a.name).second.apply();
    return {};
}
