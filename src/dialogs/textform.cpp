#include "textform.h"

#include "widgets/msgform.h"
#include "widgets/typinglimit.h"
#include "widgets/uppercaseedit.h"
#include "morse/duration.h"
#include "morse/morse.h"
#include "settings/settings.h"

#include <QLabel>
#include <QPushButton>

TTextForm* TextForm = nullptr;

TTextForm::TTextForm(QWidget* parent) : TForm(parent)
{
    setFixedSize(640, 120);
    TextEdit = new UpperCaseEdit(this);
    TextEdit->setGeometry(12, 12, 616, 26);
    LimitTyping(TextEdit, static_cast<int>(kTextMax));
    TextEdit->setToolTip(QStringLiteral("Enter text (maximum 250 characters)"));
    DurLabel = new QLabel(this);
    DurLabel->setGeometry(12, 46, 300, 22);
    OkBitBtn = MakeButton(QStringLiteral("OK"), Accepted, [this] { OkBitBtnClick(); });
    OkBitBtn->setGeometry(215, 78, 100, 30);
    OkBitBtn->setDefault(true);
    CancelBitBtn = MakeButton(QStringLiteral("Cancel"), Rejected, [this] { CancelBitBtnClick(); });
    CancelBitBtn->setGeometry(325, 78, 100, 30);
    SetCancelButton(CancelBitBtn);
    connect(TextEdit, &QLineEdit::textChanged, this, [this] { TextEditKeyUp(); });
}

void TTextForm::FormActivate()
{
    CloseAllowed = true;
    TextBackup = Short(ToBytes(TextEdit->text()));
    TextEdit->setFocus();
    DialogCancelled = false;
    FillDuration();
}

void TTextForm::TextEditKeyUp() { FillDuration(); }

void TTextForm::FillDuration()
{
    const std::string text = ToBytes(TextEdit->text());
    const std::int32_t seconds = EditingId ? TextDuration(text, 0, 0, StartId.Wpm)
                                           : TextDuration(text, HeldDotLength(), HeldKeyGap(), 0);
    DurLabel->setText(QStringLiteral("duration : ") + FromBytes(DurationText(seconds)));
    FitToText(DurLabel);
}

void TTextForm::OkBitBtnClick()
{
    DialogCancelled = false;
    CloseAllowed = true;
    const std::string text = ToBytes(TextEdit->text());
    const char invalid = FirstInvalidChar(text);
    if (invalid == ' ')
        return;
    ShowMessageForm(QStringLiteral("Error"),
                    FromBytes(std::string(1, invalid)) + QStringLiteral(" is an invalid CW character"),
                    ButtonFaceColor(), false);
    CloseAllowed = false;
    TextEdit->setFocus();
    TextEdit->setCursorPosition(static_cast<int>(text.find(invalid)));
}

void TTextForm::CancelBitBtnClick()
{
    TextEdit->setText(FromBytes(TextBackup));
    DialogCancelled = true;
    CloseAllowed = true;
}
