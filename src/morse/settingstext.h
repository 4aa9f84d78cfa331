// VANTREL.SET as text, for vantrel-settings: every persisted setting as one
// line "Name = value" in the order of the settings table, and such lines read
// back with the checks the setup dialogs make (the text rule included, which
// is why this lives above the settings). Works on the settings globals;
// single-threaded.
#pragma once

#include <string>
#include <vector>

// The names in the order SettingsText prints them.
std::vector<std::string> SettingNames();

// Every persisted setting, one "Name = value" line each, some followed by a
// comment ("  # COM3"): Booleans true/false, element times and PTT delays in
// ms, frequencies in Hz, texts in double quotes with \" and \\ (and \xHH for
// a byte outside printable ASCII, which only a file written by hand holds).
std::string SettingsText();

// One setting to change. `line` (from 1) names where it came from in an
// imported text; 0 for the command line.
struct SettingAssignment {
    std::string name;
    std::string value; // as given: a text in double quotes, or bare
    int line = 0;
};

// Splits a command line's "NAME=VALUE". False when there is no "=".
bool SplitAssignment(const std::string& arg, SettingAssignment& out);

// Reads lines as SettingsText prints them: blank lines and lines starting
// with "#" are skipped, and a "# ..." comment may follow a value. Each line
// that is no "Name = value" adds a message to `errors`.
std::vector<SettingAssignment> ReadSettingLines(const std::string& text, std::vector<std::string>& errors);

// Checks every assignment as the dialogs check their fields (letters of a
// text upper-cased), then across the settings that it names: the mode
// dialog's pairs of DfcwMode and RatioCode, the one speed of both
// identifications, no alarm on the PC speaker that sounds the sidetone. An
// unknown or repeated name is a fault too. When all pass, the settings take
// the values and the result is empty; otherwise no setting changes and the
// result holds one message per fault, naming the setting, the value and the
// rule ("line 3: DotLength = 1500: ...").
std::vector<std::string> ApplySettings(const std::vector<SettingAssignment>& assignments);
