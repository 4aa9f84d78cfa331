// The option reader shared by vantrel and its tools.
#include "settings/options.h"

#include <gtest/gtest.h>

namespace {

TEST(OptionsTest, FormsOfOptionsAndWords)
{
    const std::vector<OptionSpec> specs = {
        {"help", 'h', OptionSpec::None}, {"output", 'o', OptionSpec::Required}, {"wait", 0, OptionSpec::Optional}};
    const struct {
        std::vector<std::string> args;
        std::string read; // options as name=value, then the words in brackets, or the fault
    } cases[] = {
        {{"--output=a.wav", "-oB", "-o", "c"}, "output=a.wav output=B output=c "},
        {{"--output", "-", "show", "-h", "-"}, "output=- help [show][-]"},
        {{"--", "--help", "-h"}, "[--help][-h]"},
        {{"--wait", "autostart", "--wait", "600"}, "wait wait=600 [autostart]"},
        {{"--output"}, "fault: --output needs a value"},
        {{"--help=yes"}, "fault: --help takes no value"},
        {{"-hx"}, "fault: unknown option '-hx'"},
        {{"--out", "a"}, "fault: unknown option '--out'"},
    };
    for (const auto& c : cases) {
        const ParsedOptions parsed = ParseOptions(c.args, specs);
        std::string read = parsed.fault.empty() ? "" : "fault: " + parsed.fault;
        for (const auto& given : parsed.options)
            read += given.name + (given.value ? "=" + *given.value : "") + ' ';
        for (const auto& word : parsed.words)
            read += '[' + word + ']';
        EXPECT_EQ(read, c.read) << c.args.front();
    }
    // The options before a fault are kept, so that "--help --bogus" still helps.
    EXPECT_TRUE(ParseOptions({"-h", "--bogus"}, specs).Has("help"));
}

} // namespace
