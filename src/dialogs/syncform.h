// TSyncForm: the period to whose multiples a transmission start is aligned
// (SyncPeriod: the index of the chosen item, 0 = disabled). Cancel stores
// nothing. The one setup dialog with a resizable frame.
#pragma once

#include "widgets/form.h"

class RadioGroupBox;
class QPushButton;

class TSyncForm : public TForm {
    Q_OBJECT
public:
    explicit TSyncForm(QWidget* parent = nullptr);

    RadioGroupBox* SyncRadioGroup;
    QPushButton* OkBitBtn;
    QPushButton* CancelBitBtn;

protected:
    void FormActivate() override;

private:
    void OkBitBtnClick();
};

extern TSyncForm* SyncForm;
