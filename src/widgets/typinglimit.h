// A character limit for what is typed into a one-line edit, not for what the
// program shows in it. QLineEdit's own maximum length cuts a text the program
// sets as well: an alarm time of 1234 from the settings file would show, and
// be stored back, as 123.
#pragma once

class QLineEdit;

// Typing and pasting cannot make `edit` longer than `maxChars` characters, nor
// than the text it held before where that was longer (a paste keeps what fits);
// deleting always works. A text the program sets is shown whole.
void LimitTyping(QLineEdit* edit, int maxChars);
