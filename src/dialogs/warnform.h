// TWarnForm: the alarm time in seconds (AlarmTime, 0 = off): the PC speaker
// chirps that long before the expected end of a message. The alarm and a
// sidetone cannot share the PC speaker, so setting an alarm there turns the
// CW and QRSS sidetone off, with a warning.
#pragma once

#include "widgets/form.h"

#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;

class TWarnForm : public TForm {
    Q_OBJECT
public:
    explicit TWarnForm(QWidget* parent = nullptr);

    QLabel* WarnLabel;
    QLineEdit* WarnEdit;
    QPushButton* OkBitBtn;
    QPushButton* CancelBitBtn;

protected:
    void FormActivate() override;
    bool FormCloseQuery() override { return CloseAllowed; }

private:
    void OkBitBtnClick();
    void CancelBitBtnClick();

    bool CloseAllowed = true;
    std::uint16_t SavedAlarmTime = 0;
};

extern TWarnForm* WarnForm;
