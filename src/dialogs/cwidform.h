// TCwIdForm: the speed of the fast identification, shared by the start and
// the stop identification, and whether each is sent. It closes by OK or
// Cancel (Escape presses Cancel), never by its close box.
#pragma once

#include "widgets/form.h"

class QPushButton;
class RadioGroupBox;

class TCwIdForm : public TForm {
    Q_OBJECT
public:
    explicit TCwIdForm(QWidget* parent = nullptr);

    RadioGroupBox* SpeedRadioGroup;
    RadioGroupBox* StartRadioGroup;
    RadioGroupBox* StopRadioGroup;
    QPushButton* OK;
    QPushButton* CancelBitBtn;

protected:
    void FormActivate() override;
    bool FormCloseQuery() override { return CloseAllowed; }

private:
    void OKClick();
    void CancelBitBtnClick();

    // False from activation until a button is pressed.
    bool CloseAllowed = true;
};

extern TCwIdForm* CwIdForm;
