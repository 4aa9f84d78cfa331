// TStartTimeForm: the start time and the optional stop time ("HHMMSS") of a
// delayed transmission, with the local time running in its caption.
#pragma once

#include "app/form.h"

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

protected:
    void FormActivate() override;
    bool FormCloseQuery() override { return CloseAllowed; }

private:
    void OkBitBtnClick();
    void CancelBitBtnClick();

    Clock& clock_;
    bool CloseAllowed = true;
    std::string SavedStartTime;
};

extern TStartTimeForm* StartTimeForm;
