// Drives the setup dialogs as a user does: opened from the main window's menu,
// typed into, clicked, and answered with Return and Escape, offscreen.
#pragma once

#include "modal.h"
#include "support/fakeclock.h"
#include "support/tempdir.h"
#include "tonegen/player.h"

#include <QString>

#include <string>
#include <vector>

class QAbstractButton;
class QDialog;
class QLineEdit;
class QTimer;
class QWidget;

// Every message shown while it lives, as "Caption: text", each answered with OK.
class MessageLog {
public:
    MessageLog();
    ~MessageLog();
    std::vector<std::string> shown;

private:
    QTimer* poll_;
};

class DialogTest : public TempDirTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the dialog of the Setup menu item `action` (an object name such as
    // "SetupRepeat"), runs `drive` while it is shown, and returns once it closed.
    void Open(const char* action, std::function<void(QDialog*)> drive);

    // Replaces the text of `edit` by typing `keys`, as a user would.
    static void Retype(QLineEdit* edit, const QString& keys);
    static void Click(QAbstractButton* button);
    // A key pressed where the focus is (the dialog itself when nothing has it).
    static void Press(QDialog* dialog, int key);
    // Whether every label, button and radio button shows its whole text and
    // every edit names its label, so screen readers name each control.
    static void ExpectTextsWholeAndNamed(QWidget* dialog);

    FakeClock clock_;
    SilentPlayer player_;
    ModalWatchdog watchdog_;
};
