// Parts that the setup dialogs share: their layout and the message of a
// failed check.
#pragma once

class QLayout;
class QPushButton;
class QWidget;

// Lays out `dialog`: `body` above the OK and Cancel buttons, centred in a row.
// A `fixed` window keeps the size of its texts at the desktop font; otherwise
// it may grow, but never below that size.
void LayOutDialog(QWidget* dialog, QLayout* body, QPushButton* ok, QPushButton* cancel, bool fixed = true);

// Shows `message` with the caption "Error" and moves the focus to `field`.
void ShowFieldError(const char* message, QWidget* field);
