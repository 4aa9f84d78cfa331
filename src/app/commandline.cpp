#include "commandline.h"

#include <algorithm>
#include <cctype>

bool IsAutoStartCommandLine(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return false;
    static constexpr std::string_view word = "autostart";
    const std::string& arg = args.front();
    return arg.size() == word.size()
        && std::equal(arg.begin(), arg.end(), word.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
}
