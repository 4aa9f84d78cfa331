// TQskForm: whether and where QRSS switches back to receive (QskMode) and the
// PTT delays around the keying (TxDelay, RxDelay). The delay groups are
// enabled only while QSK is on, yet OK stores what they show either way.
#pragma once

#include "widgets/form.h"

class QPushButton;
class RadioGroupBox;

class TQskForm : public TForm {
    Q_OBJECT
public:
    explicit TQskForm(QWidget* parent = nullptr);

    RadioGroupBox* QskRadioGroup;
    RadioGroupBox* RxRadioGroup;
    RadioGroupBox* TxRadioGroup;
    QPushButton* OkBitBtn;
    QPushButton* CancelBitBtn;

protected:
    void FormActivate() override;
    bool FormCloseQuery() override { return CloseAllowed; }

private:
    void OkBitBtnClick();
    void CancelBitBtnClick();
    void QskRadioGroupClick();

    // Never false: the close box always works.
    bool CloseAllowed = true;
};

extern TQskForm* QskForm;
