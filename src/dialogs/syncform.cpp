#include "syncform.h"

#include "widgets/dialogparts.h"
#include "widgets/radiogroupbox.h"
#include "settings/settings.h"

#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TSyncForm* SyncForm = nullptr;

TSyncForm::TSyncForm(QWidget* parent) : TForm(parent)
{
    setWindowTitle(QStringLiteral("Synchronisation"));
    setWindowFlags(windowFlags() & ~Qt::MSWindowsFixedSizeDialogHint);
    SyncRadioGroup = new RadioGroupBox(QStringLiteral("Synchronisation :"),
        {QStringLiteral("disabled"), QStringLiteral("1 minute"), QStringLiteral("2 minutes"),
         QStringLiteral("5 minutes"), QStringLiteral("10 minutes"), QStringLiteral("30 minutes"),
         QStringLiteral("1 hour")},
        1, this);
    OkBitBtn = MakeButton(QStringLiteral("OK"), Accepted, [this] { OkBitBtnClick(); });
    CancelBitBtn = MakeButton(QStringLiteral("Cancel"), Rejected);
    SetCancelButton(CancelBitBtn);

    auto* body = new QVBoxLayout;
    body->addWidget(SyncRadioGroup);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    AddDialogButtons(layout, OkBitBtn, CancelBitBtn, false);
}

void TSyncForm::FormActivate()
{
    // A stored period above the last item (only from an edited file) shows as it.
    SyncRadioGroup->SetItemIndex(std::min<int>(SyncPeriod, SyncRadioGroup->Count() - 1));
    SyncRadioGroup->FocusItem();
}

void TSyncForm::OkBitBtnClick()
{
    if (SyncRadioGroup->ItemIndex() >= 0)
        SyncPeriod = static_cast<std::uint8_t>(SyncRadioGroup->ItemIndex());
}
