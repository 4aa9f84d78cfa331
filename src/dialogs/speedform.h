// TSpeedForm: the dot length and, when the opener asks for it, the key gap.
// Works on EditDotLength and EditKeyGap, which the opener hands in and reads
// back afterwards; Cancel puts back what was handed in.
#pragma once

#include "widgets/form.h"

#include <cstdint>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

// The dot length handed to and from the dialog (ms); a negative EditKeyGap
// asks for the dialog without its key gap row.
extern std::int32_t EditDotLength;
extern std::int32_t EditKeyGap;

class TSpeedForm : public TForm {
    Q_OBJECT
public:
    explicit TSpeedForm(QWidget* parent = nullptr);

    QLabel* DotLabel;
    QLineEdit* DotEdit;
    QPushButton* OkBitBtn;
    QPushButton* CancelBitBtn;
    QLabel* GapLabel;
    QLineEdit* GapEdit;

protected:
    void FormActivate() override;
    bool FormCloseQuery() override { return CloseAllowed; }

private:
    void OkBitBtnClick();
    void CancelBitBtnClick();
    void Refuse(const char* message, QLineEdit* field);

    std::int32_t SavedDotLength = 0, SavedKeyGap = -1;
    bool CloseAllowed = true;
    bool GapShown = false;
    int width_ = 300; // the design width, or what the labels' texts need
};

extern TSpeedForm* SpeedForm;

// Reads a field as the setup dialogs do: spaces trimmed and written back, then
// a whole number; nullopt when it is not one. `empty` tells an empty field.
std::optional<std::int32_t> ReadNumberField(QLineEdit* field, bool& empty);
