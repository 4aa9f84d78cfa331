#include "repeatform.h"

#include "widgets/typinglimit.h"
#include "widgets/uppercaseedit.h"
#include "widgets/dialogparts.h"
#include "morse/morse.h"
#include "settings/settingrules.h"
#include "settings/settings.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TRepeatForm* RepeatForm = nullptr;

TRepeatForm::TRepeatForm(QWidget* parent) : TForm(parent)
{
    setWindowTitle(QStringLiteral("Repeat text"));
    RepeatLabel1 = new QLabel(QStringLiteral("Repeat text  "), this);
    RepeatEdit = new UpperCaseEdit(this);
    LimitTyping(RepeatEdit, 5);
    RepeatEdit->setToolTip(
        QStringLiteral("Enter number of times that the text has to be repeated : 0 - 99  (0 = endless)"));
    RepeatLabel1->setBuddy(RepeatEdit);
    RepeatLabel2 = new QLabel(QStringLiteral("time(s)"), this);
    IntervalLabel = new QLabel(QStringLiteral("Interval"), this);
    IntervalEdit = new UpperCaseEdit(this);
    LimitTyping(IntervalEdit, 5);
    IntervalEdit->setToolTip(QStringLiteral(
        "Enter interval in minutes  (0 = non-stop repeating, interval rounded up to the next minute)"));
    IntervalLabel->setBuddy(IntervalEdit);
    IntervalLabel2 = new QLabel(QStringLiteral("minute(s)"), this);
    OkBitBtn = MakeButton(QStringLiteral("OK"), Accepted, [this] { OkBitBtnClick(); });
    CancelBitBtn = MakeButton(QStringLiteral("Cancel"), Rejected, [this] { CancelBitBtnClick(); });
    SetCancelButton(CancelBitBtn);

    // Five digits fit the edits; the window takes the size of its texts.
    const int digits = RepeatEdit->fontMetrics().horizontalAdvance(QStringLiteral("000000"));
    RepeatEdit->setFixedWidth(digits + 16);
    IntervalEdit->setFixedWidth(digits + 16);
    auto* grid = new QGridLayout;
    grid->addWidget(RepeatLabel1, 0, 0);
    grid->addWidget(RepeatEdit, 0, 1);
    grid->addWidget(RepeatLabel2, 0, 2);
    grid->addWidget(IntervalLabel, 1, 0);
    grid->addWidget(IntervalEdit, 1, 1);
    grid->addWidget(IntervalLabel2, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    AddDialogButtons(layout, OkBitBtn, CancelBitBtn);
}

void TRepeatForm::FormActivate()
{
    CloseAllowed = true;
    RepeatEdit->setText(QString::number(RepeatCount));
    IntervalEdit->setText(QString::number(RepeatInterval));
    SavedRepeatCount = RepeatCount;
    SavedRepeatInterval = RepeatInterval;
    RepeatEdit->setFocus();
}

void TRepeatForm::ReadByteField(UpperCaseEdit* field, std::uint8_t& setting, const char* message)
{
    // Leading spaces are skipped, a trailing one makes the number invalid. A
    // number outside 0..255 is refused rather than cut to its low byte, which
    // would send 300 repeats as 44 and -1 as 255.
    const auto number = ToInteger(ToBytes(field->text()));
    if (number && RepeatByteValid(*number)) {
        setting = static_cast<std::uint8_t>(*number);
        return;
    }
    ShowFieldError(message, field);
    CloseAllowed = false;
}

void TRepeatForm::OkBitBtnClick()
{
    DialogCancelled = false;
    CloseAllowed = true;
    ReadByteField(RepeatEdit, RepeatCount, "Repeat text : invalid number");
    ReadByteField(IntervalEdit, RepeatInterval, "Interval : invalid number");
}

void TRepeatForm::CancelBitBtnClick()
{
    CloseAllowed = true;
    RepeatCount = SavedRepeatCount;
    RepeatInterval = SavedRepeatInterval;
}
