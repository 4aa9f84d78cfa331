#include "speedform.h"

#include "widgets/typinglimit.h"
#include "widgets/dialogparts.h"
#include "morse/morse.h"
#include "settings/settingrules.h"
#include "settings/settings.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

std::int32_t EditDotLength = 0;
std::int32_t EditKeyGap = -1;
TSpeedForm* SpeedForm = nullptr;

std::optional<std::int32_t> ReadNumberField(QLineEdit* field, bool& empty)
{
    const std::string text = TrimSpaces(ToBytes(field->text()));
    field->setText(FromBytes(text));
    empty = text.empty();
    // A whole number: an optional sign and decimal digits.
    const bool plain = !text.empty()
        && text.find_first_not_of("0123456789", text[0] == '+' || text[0] == '-' ? 1 : 0) == std::string::npos;
    return plain ? ToInteger(text) : std::nullopt;
}

TSpeedForm::TSpeedForm(QWidget* parent) : TForm(parent)
{
    setWindowTitle(QStringLiteral("Dot length"));
    DotLabel = new QLabel(QStringLiteral("Dot length (seconds) :"), this);
    DotLabel->setGeometry(16, 18, 170, 24);
    DotEdit = new QLineEdit(this);
    DotEdit->setGeometry(190, 16, 90, 26);
    LimitTyping(DotEdit, 6);
    DotEdit->setToolTip(QStringLiteral("Enter dot length in seconds (1-3600)"));
    OkBitBtn = MakeButton(QStringLiteral("OK"), Accepted, [this] { OkBitBtnClick(); });
    OkBitBtn->setDefault(true);
    CancelBitBtn = MakeButton(QStringLiteral("Cancel"), Rejected, [this] { CancelBitBtnClick(); });
    GapLabel = new QLabel(QStringLiteral("Key gap (seconds) :"), this);
    GapLabel->setGeometry(16, 50, 170, 24);
    GapEdit = new QLineEdit(this);
    GapEdit->setGeometry(190, 48, 90, 26);
    LimitTyping(GapEdit, 6);
    GapEdit->setToolTip(QStringLiteral("Enter gap length in seconds (1-3600)"));
    SetCancelButton(CancelBitBtn);
    DotLabel->setBuddy(DotEdit);
    GapLabel->setBuddy(GapEdit);
    // Both labels as wide as the wider text needs, the edits along.
    const int growth = std::max(FitToText(DotLabel), FitToText(GapLabel));
    for (QLabel* label : {DotLabel, GapLabel})
        label->resize(170 + growth, label->height());
    DotEdit->move(190 + growth, DotEdit->y());
    GapEdit->move(190 + growth, GapEdit->y());
    width_ = 300 + growth;
    setTabOrder(DotEdit, OkBitBtn);
    setTabOrder(OkBitBtn, CancelBitBtn);
    setTabOrder(CancelBitBtn, GapEdit);
}

void TSpeedForm::FormActivate()
{
    CloseAllowed = true;
    SavedDotLength = EditDotLength;
    SavedKeyGap = EditKeyGap;
    GapShown = EditKeyGap >= 0;
    GapLabel->setVisible(GapShown);
    GapEdit->setVisible(GapShown);
    // Heights are the outer heights less a title bar of about 34 pixels.
    const int top = GapShown ? 88 : 58;
    OkBitBtn->setGeometry(width_ / 2 - 110, top, 100, 30);
    CancelBitBtn->setGeometry(width_ / 2 + 10, top, 100, 30);
    setFixedSize(width_, (GapShown ? 156 : 126) - 34);
    GapEdit->clear();
    if (GapShown)
        GapEdit->setText(QString::number(EditKeyGap / 1000));
    DotEdit->clear();
    if (EditDotLength > 0) {
        DotEdit->setText(QString::number(EditDotLength / 1000));
        DotEdit->setFocus();
    }
    DialogCancelled = false;
}

void TSpeedForm::Refuse(const char* message, QLineEdit* field)
{
    ShowFieldError(message, field);
    CloseAllowed = false;
}

void TSpeedForm::OkBitBtnClick()
{
    DialogCancelled = false;
    CloseAllowed = true;
    bool dotEmpty = false, gapEmpty = true;
    const auto dot = ReadNumberField(DotEdit, dotEmpty);
    if (!dotEmpty && (!dot || !DotSecondsValid(*dot))) {
        Refuse("Dot length : invalid number", DotEdit);
        return;
    }
    std::optional<std::int32_t> gap;
    if (GapShown) {
        gap = ReadNumberField(GapEdit, gapEmpty);
        if (!gapEmpty && (!gap || !KeyGapSecondsValid(*gap))) {
            Refuse("Key gap : invalid number", GapEdit);
            return;
        }
        if (dot && gap && *gap >= *dot) {
            Refuse("Dot length must exceed gap length", DotEdit);
            return;
        }
    }
    if (dot)
        EditDotLength = *dot * 1000;
    if (GapShown && gap)
        EditKeyGap = *gap * 1000;
}

void TSpeedForm::CancelBitBtnClick()
{
    CloseAllowed = true;
    EditDotLength = SavedDotLength;
    EditKeyGap = SavedKeyGap;
    DialogCancelled = true;
}
