// Parts that the setup dialogs share: the OK and Cancel row at their foot and
// the message of a failed check.
#pragma once

class QBoxLayout;
class QPushButton;
class QWidget;

// Adds `ok`, made the default button, and `cancel` side by side, centred, at
// the end of `layout`, and sizes the dialog to its contents at the desktop
// font: a `fixed` dialog keeps that size; otherwise it may grow, but never
// below it.
void AddDialogButtons(QBoxLayout* layout, QPushButton* ok, QPushButton* cancel, bool fixed = true);

// Shows `message` with the caption "Error" and moves the focus to `field`.
void ShowFieldError(const char* message, QWidget* field);
