#include "warnform.h"

#include "widgets/msgform.h"
#include "widgets/typinglimit.h"
#include "widgets/dialogparts.h"
#include "morse/morse.h"
#include "settings/settingrules.h"
#include "settings/settings.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TWarnForm* WarnForm = nullptr;

TWarnForm::TWarnForm(QWidget* parent) : TForm(parent)
{
    setWindowTitle(QStringLiteral("Alarm time"));
    WarnLabel = new QLabel(QStringLiteral("Alarm time (seconds) :"), this);
    WarnEdit = new QLineEdit(this);
    LimitTyping(WarnEdit, 3);
    WarnEdit->setToolTip(QStringLiteral("enter alarm time in seconds ( max. 999)"));
    WarnEdit->setFixedWidth(WarnEdit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
    WarnLabel->setBuddy(WarnEdit);
    OkBitBtn = MakeButton(QStringLiteral("OK"), Accepted, [this] { OkBitBtnClick(); });
    CancelBitBtn = MakeButton(QStringLiteral("Cancel"), Rejected, [this] { CancelBitBtnClick(); });
    SetCancelButton(CancelBitBtn);

    auto* field = new QHBoxLayout;
    field->addWidget(WarnLabel);
    field->addWidget(WarnEdit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(field);
    AddDialogButtons(layout, OkBitBtn, CancelBitBtn);
}

void TWarnForm::FormActivate()
{
    CloseAllowed = true;
    SavedAlarmTime = AlarmTime;
    WarnEdit->setText(QString::number(AlarmTime));
    WarnEdit->setFocus();
}

void TWarnForm::OkBitBtnClick()
{
    CloseAllowed = true;
    const std::string text = TrimSpaces(ToBytes(WarnEdit->text()));
    WarnEdit->setText(FromBytes(text));
    if (text.empty()) {
        AlarmTime = 0;
        return;
    }
    // A negative number is refused: cut to 16 bits, -5 would arm the alarm
    // 65531 s before the end.
    const auto seconds = ToInteger(text);
    // Typing stops at 999; a larger number stored in the file is kept as it is.
    if (!seconds || *seconds < 0 || *seconds > 0xFFFF) {
        ShowFieldError("Alarm time : invalid number", WarnEdit);
        CloseAllowed = false;
        return;
    }
    AlarmTime = static_cast<std::uint16_t>(*seconds);
    if (AlarmCutsSidetone(AlarmTime, SidetoneOn, UseSpeaker)) {
        ShowMessageForm(QStringLiteral("Warning"), QStringLiteral("Sidetone disabled"), ButtonFaceColor(), false);
        SidetoneOn = false;
    }
}

void TWarnForm::CancelBitBtnClick()
{
    CloseAllowed = true;
    AlarmTime = SavedAlarmTime;
}
