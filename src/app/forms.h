// Creates the program's 23 windows in their fixed order, the main window
// first, each reachable through its one global reference, and destroys them.
#pragma once

#include <string>
#include <vector>

class Clock;

void CreateForms(Clock& clock, const std::vector<std::string>& args);
void DestroyForms();
