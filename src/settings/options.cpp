#include "options.h"

#include "settings.h"

#include <algorithm>

#ifndef VANTREL_BUILD_VERSION
#define VANTREL_BUILD_VERSION "unknown"
#endif

namespace {

const OptionSpec* FindLong(const std::vector<OptionSpec>& specs, const std::string& name)
{
    const auto it = std::find_if(specs.begin(), specs.end(), [&](const OptionSpec& s) { return name == s.name; });
    return it != specs.end() ? &*it : nullptr;
}

const OptionSpec* FindLetter(const std::vector<OptionSpec>& specs, char letter)
{
    const auto it = std::find_if(specs.begin(), specs.end(), [&](const OptionSpec& s) { return s.letter == letter; });
    return it != specs.end() ? &*it : nullptr;
}

bool IsNumber(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

} // namespace

bool ParsedOptions::Has(const std::string& name) const
{
    return std::any_of(options.begin(), options.end(), [&](const Given& g) { return g.name == name; });
}

std::optional<std::string> ParsedOptions::Value(const std::string& name) const
{
    for (auto it = options.rbegin(); it != options.rend(); ++it)
        if (it->name == name)
            return it->value;
    return std::nullopt;
}

ParsedOptions ParseOptions(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs)
{
    ParsedOptions out;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            out.words.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const bool isLong = arg[1] == '-';
        const std::size_t equals = isLong ? arg.find('=') : std::string::npos;
        const std::string name = isLong ? arg.substr(2, equals - 2) : arg.substr(1, 1);
        const OptionSpec* option = isLong ? FindLong(specs, name) : FindLetter(specs, arg[1]);
        const std::string shown = isLong ? "--" + name : arg.substr(0, 2);
        if (option == nullptr) {
            out.fault = "unknown option '" + (isLong ? shown : arg) + "'";
            return out;
        }
        std::optional<std::string> value;
        if (isLong && equals != std::string::npos)
            value = arg.substr(equals + 1);
        else if (!isLong && arg.size() > 2)
            value = arg.substr(2);
        if (option->value == OptionSpec::None && value) {
            out.fault = isLong ? shown + " takes no value" : "unknown option '" + arg + "'";
            return out;
        }
        if (option->value == OptionSpec::Required && !value) {
            if (i + 1 >= args.size()) {
                out.fault = shown + " needs a value";
                return out;
            }
            value = args[++i];
        } else if (option->value == OptionSpec::Optional && !value && i + 1 < args.size() && IsNumber(args[i + 1])) {
            value = args[++i];
        }
        out.options.push_back({option->name, value});
    }
    return out;
}

std::string ProgramVersionText(const std::string& program)
{
    // The version lives with the settings defaults; read them without a file.
    SetDefaultSettings();
    return program + " " + VersionText + " (" + VersionDate + ")\nbuild " VANTREL_BUILD_VERSION "\n";
}

bool AnswerInfoOption(const ParsedOptions& parsed, const std::string& program, const std::string& usage)
{
    for (const ParsedOptions::Given& given : parsed.options) {
        if (given.name == "help" || given.name == "version") {
            const std::string text = given.name == "help" ? usage : ProgramVersionText(program);
            std::fputs(text.c_str(), stdout);
            return true;
        }
    }
    return false;
}
