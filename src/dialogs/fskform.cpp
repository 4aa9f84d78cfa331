#include "fskform.h"

#include "widgets/typinglimit.h"
#include "widgets/dialogparts.h"
#include "widgets/radiogroupbox.h"
#include "settings/settingrules.h"
#include "settings/settings.h"
#include "speedform.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFSKForm* FSKForm = nullptr;

TFSKForm::TFSKForm(QWidget* parent) : TForm(parent)
{
    setWindowTitle(QStringLiteral("DFCW"));
    FskRadioGroup = new RadioGroupBox(QStringLiteral("FSK :"), {QStringLiteral("normal"), QStringLiteral("reverse")},
                                      1, this);
    FskRadioGroup->setToolTip(QStringLiteral("select between normal and reverse FSK"));
    GapLabel = new QLabel(QStringLiteral("Key gap (sec) :"), this);
    GapEdit = new QLineEdit(this);
    LimitTyping(GapEdit, 6);
    GapEdit->setToolTip(QStringLiteral("Key gap will be truncated to a multiple of 100ms"));
    GapLabel->setBuddy(GapEdit);
    OmmitBox = new QCheckBox(QStringLiteral("Omit redundant key gaps"), this);
    OkBitBtn = MakeButton(QStringLiteral("OK"), Accepted, [this] { OkBitBtnClick(); });
    CancelBitBtn = MakeButton(QStringLiteral("Cancel"), Rejected, [this] { CancelBitBtnClick(); });
    SetCancelButton(CancelBitBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FskRadioGroup);
    auto* gapRow = new QHBoxLayout;
    gapRow->addWidget(GapLabel);
    gapRow->addWidget(GapEdit);
    layout->addLayout(gapRow);
    layout->addWidget(OmmitBox);
    AddDialogButtons(layout, OkBitBtn, CancelBitBtn);
}

void TFSKForm::FormActivate()
{
    FskRadioGroup->SetItemIndex(FskNormal ? 0 : 1);
    OmmitBox->setChecked(OmitKeyGaps);
    GapEdit->setText(QString::number(KeyGap / 1000));
    FskRadioGroup->FocusItem(); // Return then presses OK
}

void TFSKForm::OkBitBtnClick()
{
    CloseAllowed = true;
    // Stored whatever the key gap check finds.
    if (const int index = FskRadioGroup->ItemIndex(); index >= 0)
        FskNormal = index == 0;
    OmitKeyGaps = OmmitBox->isChecked();
    bool empty = false;
    const auto gap = ReadNumberField(GapEdit, empty);
    if (empty)
        return;
    if (!gap || !KeyGapSecondsValid(*gap)) {
        ShowFieldError("Key gap : invalid number", GapEdit);
        CloseAllowed = false;
        return;
    }
    KeyGap = *gap * 1000;
}

void TFSKForm::CancelBitBtnClick() { CloseAllowed = true; }
