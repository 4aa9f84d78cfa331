// TSelTextForm: the ten message texts with their sending times; chooses the
// one that is sent (TextNumber). Clicking a row's caption or text checks its
// button. Cancel puts back the choice found at activation.
#pragma once

#include "widgets/form.h"

#include <array>
#include <cstdint>

class QLabel;
class QPushButton;
class QRadioButton;

class TSelTextForm : public TForm {
    Q_OBJECT
public:
    explicit TSelTextForm(QWidget* parent = nullptr);

    static constexpr int kRows = 10;
    // Row k (1..10) at index k - 1: T1Label, Text1Label, T1RadioButton, Dur1Label, ...
    std::array<QLabel*, kRows> TLabel{};
    std::array<QLabel*, kRows> TextLabel{};
    std::array<QRadioButton*, kRows> TRadioButton{};
    std::array<QLabel*, kRows> DurLabel{};
    QPushButton* OkBitBtn;
    QPushButton* CancelBitBtn;

protected:
    void FormActivate() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OkBitBtnClick();
    void CancelBitBtnClick();
    // T1LabelClick .. T10LabelClick and Text1LabelClick .. Text10LabelClick.
    void RowLabelClick(int row);

    std::uint8_t SavedTextNumber = 1;
};

extern TSelTextForm* SelTextForm;

// A text as its row shows it: whole below 40 characters, else its first 36
// and " ...".
std::string RowText(const std::string& text);
