// The option reader shared by vantrel and its tools.
#include "settings/options.h"

#include <gtest/gtest.h>

namespace {

const std::vector<OptionSpec> kSpecs = {
    {"help", 'h', OptionSpec::None},
    {"output", 'o', OptionSpec::Required},
    {"wait", 0, OptionSpec::Optional},
};

// Options as "name=value" ("name" without one), then the words, or the fault.
std::string Read(const std::vector<std::string>& args)
{
    const ParsedOptions parsed = ParseOptions(args, kSpecs);
    if (!parsed.fault.empty())
        return "fault: " + parsed.fault;
    std::string out;
    for (const auto& given : parsed.options)
        out += given.name + (given.value ? "=" + *given.value : "") + ' ';
    for (const auto& word : parsed.words)
        out += '[' + word + ']';
    return out;
}

TEST(OptionsTest, FormsOfOptionsAndWords)
{
    const struct {
        std::vector<std::string> args;
        std::string read;
    } cases[] = {
        {{"--output=a.wav"}, "output=a.wav "},
        {{"--output", "a.wav"}, "output=a.wav "},
        {{"-o", "a.wav"}, "output=a.wav "},
        {{"-oa.wav"}, "output=a.wav "},
        {{"--output=", "x"}, "output= [x]"},
        {{"--output", "-"}, "output=- "},
        {{"show", "-h", "-"}, "help [show][-]"},
        {{"--", "--help", "-h"}, "[--help][-h]"},
        {{"--wait", "autostart"}, "wait [autostart]"},
        {{"--wait", "600", "autostart"}, "wait=600 [autostart]"},
        {{"--wait=ten"}, "wait=ten "},
        {{"--output"}, "fault: --output needs a value"},
        {{"-o"}, "fault: -o needs a value"},
        {{"--help=yes"}, "fault: --help takes no value"},
        {{"-hx"}, "fault: unknown option '-hx'"},
        {{"--out", "a"}, "fault: unknown option '--out'"},
        {{"-x"}, "fault: unknown option '-x'"},
        {{"--bogus=1"}, "fault: unknown option '--bogus'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(c.args), c.read) << c.args.front();
    // The options before a fault are kept, so that "--help --bogus" still helps.
    const ParsedOptions parsed = ParseOptions({"-h", "--bogus"}, kSpecs);
    EXPECT_TRUE(parsed.Has("help"));
    EXPECT_FALSE(parsed.fault.empty());
    EXPECT_EQ(ParseOptions({"-o", "a", "--output=b"}, kSpecs).Value("output"), "b");
}

} // namespace
