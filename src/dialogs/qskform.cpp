#include "qskform.h"

#include "widgets/dialogparts.h"
#include "widgets/radiogroupbox.h"
#include "settings/settingrules.h"
#include "settings/settings.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

TQskForm* QskForm = nullptr;

namespace {

// The delays in ms by item index of the RX and TX groups.
constexpr const auto& kDelays = kQskDelays;

QStringList DelayItems()
{
    return {QStringLiteral("0 ms"), QStringLiteral("100ms"), QStringLiteral("300ms"), QStringLiteral("1 s")};
}

int DelayIndex(std::int32_t ms)
{
    for (std::size_t i = 0; i < kDelays.size(); ++i)
        if (kDelays[i] == ms)
            return static_cast<int>(i);
    return 0; // any other value shows "0 ms"
}

void StoreDelay(const RadioGroupBox* group, std::int32_t& delay)
{
    if (const int index = group->ItemIndex(); index >= 0)
        delay = kDelays[static_cast<std::size_t>(index)];
}

} // namespace

TQskForm::TQskForm(QWidget* parent) : TForm(parent)
{
    setWindowTitle(QStringLiteral("QSK"));
    QskRadioGroup = new RadioGroupBox(QStringLiteral("QSK :"),
                                      {QStringLiteral("disabled"), QStringLiteral("between elements"),
                                       QStringLiteral("between characters"), QStringLiteral("between words")},
                                      1, this);
    RxRadioGroup = new RadioGroupBox(QStringLiteral("RX delay :"), DelayItems(), 1, this);
    TxRadioGroup = new RadioGroupBox(QStringLiteral("TX delay :"), DelayItems(), 1, this);
    OkBitBtn = MakeButton(QStringLiteral("OK"), Accepted, [this] { OkBitBtnClick(); });
    CancelBitBtn = MakeButton(QStringLiteral("Cancel"), Rejected, [this] { CancelBitBtnClick(); });
    SetCancelButton(CancelBitBtn);
    connect(QskRadioGroup, &RadioGroupBox::Changed, this, &TQskForm::QskRadioGroupClick);

    auto* layout = new QVBoxLayout(this);
    auto* groups = new QHBoxLayout;
    for (RadioGroupBox* group : {QskRadioGroup, RxRadioGroup, TxRadioGroup})
        groups->addWidget(group, 0, Qt::AlignTop);
    layout->addLayout(groups);
    AddDialogButtons(layout, OkBitBtn, CancelBitBtn);
}

void TQskForm::FormActivate()
{
    CloseAllowed = true;
    QskRadioGroup->SetItemIndex(std::min<int>(QskMode, 3));
    QskRadioGroupClick();
    RxRadioGroup->SetItemIndex(DelayIndex(RxDelay));
    TxRadioGroup->SetItemIndex(DelayIndex(TxDelay));
    QskRadioGroup->FocusItem(); // Return then presses OK
}

void TQskForm::QskRadioGroupClick()
{
    const bool qsk = QskRadioGroup->ItemIndex() > 0;
    RxRadioGroup->setEnabled(qsk);
    TxRadioGroup->setEnabled(qsk);
}

void TQskForm::OkBitBtnClick()
{
    CloseAllowed = true;
    if (const int index = QskRadioGroup->ItemIndex(); index >= 0)
        QskMode = static_cast<std::uint8_t>(index);
    StoreDelay(RxRadioGroup, RxDelay);
    StoreDelay(TxRadioGroup, TxDelay);
}

void TQskForm::CancelBitBtnClick() { CloseAllowed = true; }
