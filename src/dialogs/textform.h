// TTextForm: edits one of the twelve texts, showing its sending time as it is
// typed. The opener sets the caption and the text in TextEdit, shows the
// dialog, and stores TextEdit's text afterwards however the dialog closed:
// Cancel has put back the text the dialog was opened with.
#pragma once

#include "widgets/form.h"

#include <string>

class QLabel;
class QPushButton;
class UpperCaseEdit;

class TTextForm : public TForm {
    Q_OBJECT
public:
    explicit TTextForm(QWidget* parent = nullptr);

    UpperCaseEdit* TextEdit;
    QLabel* DurLabel;
    QPushButton* OkBitBtn;
    QPushButton* CancelBitBtn;

protected:
    void FormActivate() override;
    bool FormCloseQuery() override { return CloseAllowed; }

private:
    void TextEditKeyUp();
    void OkBitBtnClick();
    void CancelBitBtnClick();
    void FillDuration();

    bool CloseAllowed = true;
    std::string TextBackup;
};

extern TTextForm* TextForm;
