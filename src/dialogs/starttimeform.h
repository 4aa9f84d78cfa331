// TStartTimeForm: the start time and the optional stop time ("HHMMSS") of a
// delayed transmission, with the local time running in its caption.
#pragma once

#include "widgets/form.h"

#include <string>

class Clock;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

class TStartTimeForm : public TForm {
    Q_OBJECT
public:
    explicit TStartTimeForm(Clock& clock, QWidget* parent = nullptr);

    QLabel* StartLabel;
    QLineEdit* StartEdit;
    QLabel* StopLabel;
    QLineEdit* StopEdit;
    QPushButton* OkBitBtn;
    QPushButton* CancelBitBtn;
    QTimer* ClockTimer;

    void ClockTimerTimer();
    void done(int result) override;
    // Shown by Start Later, which starts with the stored times: the close box
    // too is refused, with the message, while they are not valid.
    void ExecForStart();

protected:
    void FormActivate() override;
    bool FormCloseQuery() override { return CloseAllowed; }
    void closeEvent(QCloseEvent* event) override;

private:
    void OkBitBtnClick();
    void CancelBitBtnClick();
    // Shows a message for each invalid stored time; true when both are valid.
    bool CheckTimes();

    Clock& clock_;
    bool CloseAllowed = true;
    bool forStart_ = false;
    std::string SavedStartTime;
};

extern TStartTimeForm* StartTimeForm;

// StartTime is a valid "HHMMSS" and StopTime is empty or one.
bool StartTimesValid();
