#include "portsfile.h"

#include <cctype>
#include <fstream>

namespace {

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

} // namespace

PortsFile ReadPortsFile(const std::string& path)
{
    PortsFile result;
    std::ifstream in(path);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        const std::string text = Trim(line.substr(0, line.find('#')));
        if (text.empty())
            continue;
        const auto equals = text.find('=');
        const std::string key = equals == std::string::npos ? std::string{} : Trim(text.substr(0, equals));
        if (key.empty()) {
            result.problems.push_back(path + " line " + std::to_string(number) + ": not \"key = value\": " + text);
            continue;
        }
        result.values[key] = Trim(text.substr(equals + 1));
    }
    return result;
}

std::string PortsEnvName(const std::string& key)
{
    std::string name = "VANTREL_";
    for (const char c : key)
        name += std::isalnum(static_cast<unsigned char>(c)) ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : '_';
    return name;
}

std::string PortSetting(const PortsFile& file, const std::string& key,
                        const std::function<std::string(const std::string&)>& env)
{
    if (std::string value = env ? env(PortsEnvName(key)) : std::string{}; !value.empty())
        return value;
    const auto it = file.values.find(key);
    return it != file.values.end() ? it->second : std::string{};
}
