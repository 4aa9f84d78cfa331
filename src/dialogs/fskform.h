// TFSKForm: the DFCW polarity, the DFCW key gap and whether redundant key
// gaps are left out. Polarity and omission are stored by OK even when the key
// gap then fails its check; Cancel restores nothing.
#pragma once

#include "widgets/form.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class RadioGroupBox;

class TFSKForm : public TForm {
    Q_OBJECT
public:
    explicit TFSKForm(QWidget* parent = nullptr);

    RadioGroupBox* FskRadioGroup;
    QLabel* GapLabel;
    QLineEdit* GapEdit;
    QCheckBox* OmmitBox;
    QPushButton* OkBitBtn;
    QPushButton* CancelBitBtn;

protected:
    void FormActivate() override;
    bool FormCloseQuery() override { return CloseAllowed; }

private:
    void OkBitBtnClick();
    void CancelBitBtnClick();

    bool CloseAllowed = true;
};

extern TFSKForm* FSKForm;
