// TRatioForm: the Morse mode, QRSS with its dash-dot ratio or DFCW with the
// length of a space, as the pair (DfcwMode, RatioCode). Cancel stores nothing.
#pragma once

#include "widgets/form.h"

class QPushButton;
class RadioGroupBox;

class TRatioForm : public TForm {
    Q_OBJECT
public:
    explicit TRatioForm(QWidget* parent = nullptr);

    RadioGroupBox* RatioRadioGroup;
    QPushButton* OkBitBtn;
    QPushButton* CancelBitBtn;

protected:
    void FormActivate() override;

private:
    void OkBitBtnClick();
};

extern TRatioForm* RatioForm;
