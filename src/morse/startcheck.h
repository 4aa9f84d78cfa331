// What refuses the start of a transmission of the selected text, in the
// main window's words: shared by the windows, the headless run and
// vantrel-timeline, so that a preview refuses what the program refuses.
#pragma once

#include <string>

// "Text 3 is empty : nothing to transmit" when the selected text has no
// character but spaces, "Text 3 has no Morse character : nothing to transmit"
// when neither it nor an enabled identification keys anything; empty otherwise.
std::string SelectedTextProblem();

// SelectedTextProblem, then a repeated message that does not fit into its
// repeat interval; empty when the start may go ahead.
std::string StartProblem();
