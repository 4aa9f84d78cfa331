#include "exitform.h"

#include "settings/settings.h"

#include <QLabel>
#include <QPushButton>

TExitForm* ExitForm = nullptr;

TExitForm::TExitForm(QWidget* parent) : TForm(parent)
{
    setWindowTitle(QStringLiteral("Exit"));
    setFixedSize(260, 110);
    ExitLabel = new QLabel(QStringLiteral("Exit Vantrel"), this);
    ExitLabel->setGeometry(0, 16, 260, 24);
    ExitLabel->setAlignment(Qt::AlignCenter);
    OkBitBtn = MakeButton(QStringLiteral("OK"), Accepted);
    OkBitBtn->setGeometry(30, 60, 90, 30);
    CancelBitBtn = MakeButton(QStringLiteral("Cancel"), Rejected, [this] { CancelBitBtnClick(); });
    CancelBitBtn->setGeometry(140, 60, 90, 30);
    SetCancelButton(CancelBitBtn);
    // The label spans the window, its text centred: a wider text widens both.
    const int width = 260 + FitToText(ExitLabel);
    OkBitBtn->move(width / 2 - 100, OkBitBtn->y());
    CancelBitBtn->move(width / 2 + 10, CancelBitBtn->y());
    setFixedSize(width, 110);
}

void TExitForm::FormActivate()
{
    CancelBitBtn->setFocus();
    DialogCancelled = false;
}

void TExitForm::CancelBitBtnClick() { DialogCancelled = true; }
