// TForm: the common behaviour of Vantrel's modal windows on top of QDialog.
//  - FormActivate runs when a showing begins (the first show event of each
//    exec()), not when a message box shown from inside the window closes.
//  - Every way of closing passes done(), which asks FormCloseQuery first.
//  - The close box runs no button handler; it closes with a Cancel result
//    when the close query allows.
//  - Escape presses the Cancel button where the window has a visible one and
//    does nothing otherwise; Enter presses the default or focused button.
// Windows are top-level, centred on the screen, and live for the whole run.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <string>

class QLabel;
class QPushButton;

class TForm : public QDialog {
    Q_OBJECT
public:
    explicit TForm(QWidget* parent = nullptr);

    void done(int result) override;
    // As QDialog's, except once the program is ending (CancelAllForms): then
    // nothing shows and the answer is Cancel.
    int exec() override;
    // The program is ending: closes the window as its Cancel button does
    // (which puts back what the window saved at activation), with
    // DialogCancelled set, past any close query that would keep it open.
    virtual void CancelForEnd();

protected:
    virtual void FormActivate() {}
    virtual bool FormCloseQuery() { return true; }

    // The button that Escape presses.
    void SetCancelButton(QPushButton* button) { cancelButton_ = button; }
    // A button that runs `handler` and then closes the window with `result`,
    // unless the close query refuses; handler may be empty.
    QPushButton* MakeButton(const QString& caption, int result, std::function<void()> handler = {});

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPushButton* cancelButton_ = nullptr;
    bool activated_ = false;
};

// The program is ending (a signal): every window still shown modally closes
// as Cancel closes it, innermost first, and no window shows any more. Their
// openers then take the way a Cancel takes. UI thread.
void CancelAllForms();

// The settings hold single-byte texts; windows show them as Latin-1.
QString FromBytes(const std::string& bytes);
std::string ToBytes(const QString& text);

// Moves a top-level window to the middle of the primary screen.
void CentreOnScreen(QWidget* window);

// Texts shown whole at the desktop's font, whatever room the design gave
// them. FitToText widens `control` to its text where that needs more room and
// moves `follower` (the control to its right) along; returns the growth.
int FitToText(QWidget* control, QWidget* follower = nullptr);
// Sizes `label` to show its whole text on as few lines as `maxWidth` pixels
// allow, at least `minWidth` wide: each line of the text on one line where it
// fits, wrapped at word boundaries beyond that.
void FitLabel(QLabel* label, int minWidth, int maxWidth);
// The size that holds every visible child of `window` with `margin` to the
// right and below, and at least `design`.
QSize SizeForChildren(const QWidget* window, QSize design, int margin = 12);
// The width a window may take on the primary screen.
int ScreenRoom();

// The colour of button faces, the normal colour of windows and messages.
QColor ButtonFaceColor();
