// TRepeatForm: how many times the text is sent (RepeatCount, 0 = endless) and
// the interval between the starts in minutes (RepeatInterval, 0 = non-stop).
// Each field is checked and stored on its own; Cancel puts back both values
// the dialog was opened with, also what a failed OK stored.
#pragma once

#include "widgets/form.h"

#include <cstdint>

class QLabel;
class QPushButton;
class UpperCaseEdit;

class TRepeatForm : public TForm {
    Q_OBJECT
public:
    explicit TRepeatForm(QWidget* parent = nullptr);

    QLabel* RepeatLabel1;
    UpperCaseEdit* RepeatEdit;
    QLabel* RepeatLabel2;
    QLabel* IntervalLabel;
    UpperCaseEdit* IntervalEdit;
    QLabel* IntervalLabel2;
    QPushButton* OkBitBtn;
    QPushButton* CancelBitBtn;

protected:
    void FormActivate() override;
    bool FormCloseQuery() override { return CloseAllowed; }

private:
    void OkBitBtnClick();
    void CancelBitBtnClick();
    // Stores the field's number in `setting` when it is a whole number that a
    // byte holds; otherwise shows `message` and keeps the dialog open.
    void ReadByteField(UpperCaseEdit* field, std::uint8_t& setting, const char* message);

    bool CloseAllowed = true;
    std::uint8_t SavedRepeatCount = 0, SavedRepeatInterval = 0;
};

extern TRepeatForm* RepeatForm;
