// TToneForm: how the keying is heard. The CW and QRSS sidetone and its tone,
// the DFCW dot and dash tones, the sound card level and the sound source (PC
// speaker or sound card). Real numbers are shown and read with the program's
// decimal separator and stored rounded to tenths. Nothing is stored unless
// every entry is valid; the close box is refused until OK or Cancel.
#pragma once

#include "widgets/form.h"

class RadioGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class UpperCaseEdit;

class TToneForm : public TForm {
    Q_OBJECT
public:
    explicit TToneForm(QWidget* parent = nullptr);

    QLabel* CwLabel;
    RadioGroupBox* CwRadioGroup;
    QLabel* ToneLabel;
    UpperCaseEdit* ToneEdit;
    QLabel* DfcwLabel;
    RadioGroupBox* DfcwRadioGroup;
    QLabel* DotLabel;
    UpperCaseEdit* DotEdit;
    QLabel* DashLabel;
    UpperCaseEdit* DashEdit;
    QLabel* LevelLabel;
    QLineEdit* LevelEdit;
    QLabel* SourceLabel;
    RadioGroupBox* SourceRadioGroup;
    QPushButton* OkBitBtn;
    QPushButton* CancelBitBtn;

protected:
    void FormActivate() override;
    bool FormCloseQuery() override { return CloseAllowed; }

private:
    void OkBitBtnClick();
    void CancelBitBtnClick();
    void StoreAll(double tone, double level, double dot, double dash);

    bool CloseAllowed = false;
};

extern TToneForm* ToneForm;

// `value` in fixed-point notation with one decimal and the program's decimal
// separator (800.0); values of eight or more integer digits in exponent form.
QString OneDecimalText(double value);
