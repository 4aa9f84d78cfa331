// vantrel-settings' text: any record shown and imported back, and any text
// imported. What an import has taken shows and imports again unchanged.
#include "morse/settingstext.h"
#include "settings/settings.h"
#include "settings/settingsfile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Imports `text` into the defaults; true when every line was taken.
bool Import(const std::string& text)
{
    SetDefaultSettings();
    SettingsRecord.fill(0);
    std::vector<std::string> errors;
    const auto lines = ReadSettingLines(text, errors);
    return errors.empty() && ApplySettings(lines).empty();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string shown;
    if (size >= kRecordSize) {
        SetDefaultSettings();
        std::copy(data, data + kRecordSize, SettingsRecord.begin());
        DecodeSettingsRecord();
        shown = SettingsText();
    } else if (Import(std::string(reinterpret_cast<const char*>(data), size))) {
        shown = SettingsText();
    } else {
        return 0;
    }
    // Import takes a value as the dialogs do (letters upper-cased, tenths
    // rounded), so what it made shows and imports again unchanged.
    if (!Import(shown))
        return 0;
    const std::string taken = SettingsText();
    if (!Import(taken) || SettingsText() != taken)
        std::abort();
    return 0;
}
