// Whether there is a settings file at all, and where it was looked for, so
// that a run without one can say so instead of starting from the defaults
// in silence.
#pragma once

#include "settingsfile.h"

#include <string>

// True when nothing is found at `path`: no file, or a link to nothing.
bool SettingsFileMissing(const std::string& path = kSettingsFileName);

// "no VANTREL.SET in /home/beacon": the file's name and the absolute folder
// it was looked for in.
std::string MissingSettingsText(const std::string& path = kSettingsFileName);
