// The command-line options of vantrel and its tools, read one way for all of
// them: "--name", "--name=value", "--name value" (an option that needs a
// value), "-x", "-xvalue", "-x value"; "--" ends the options and a lone "-"
// is a word. Options and words may come in any order. Names are matched
// whole: an abbreviation is an unknown option, so a typo never acts.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

struct OptionSpec {
    // Optional: as "--name=value", or "--name N" where N is a number.
    enum Value { None, Required, Optional };
    const char* name; // without the dashes
    char letter;      // the short form, or 0
    Value value;
};

struct ParsedOptions {
    struct Given {
        std::string name; // the long name, whichever form was used
        std::optional<std::string> value;
    };
    std::vector<Given> options; // in command-line order, up to a fault
    std::vector<std::string> words;
    std::string fault; // empty when the whole command line was read

    bool Has(const std::string& name) const;
    // The value of the last `name` given, if it carried one.
    std::optional<std::string> Value(const std::string& name) const;
};

ParsedOptions ParseOptions(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs);

// -h/--help and -V/--version as every program answers them: the first of the
// two given (before any fault) prints the usage or ProgramVersionText on
// standard output. True when one was given: the program then exits 0.
bool AnswerInfoOption(const ParsedOptions& parsed, const std::string& program, const std::string& usage);

// What --version prints: "PROGRAM 4.14 (21 August 2013)" and the build's
// own version on a second line.
std::string ProgramVersionText(const std::string& program);
