// The OK and Cancel row at the foot of a setup dialog.
#pragma once

class QBoxLayout;
class QPushButton;

// Adds `ok`, made the default button, and `cancel` side by side, centred,
// at the end of `layout`, and fixes the dialog to the size its contents need
// at the desktop font.
void AddDialogButtons(QBoxLayout* layout, QPushButton* ok, QPushButton* cancel);
