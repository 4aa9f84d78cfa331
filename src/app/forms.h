// Creates the program's 23 windows in their fixed order, the main window
// first, each reachable through its one global reference, and destroys them.
#pragma once

#include <string>
#include <vector>

class Clock;
class SoundPlayer;

// `player` plays the transmit window's tones; it outlives the windows.
void CreateForms(Clock& clock, SoundPlayer& player, const std::vector<std::string>& args);
void DestroyForms();
