#include "ratioform.h"

#include "widgets/dialogparts.h"
#include "widgets/radiogroupbox.h"
#include "settings/settingrules.h"
#include "settings/settings.h"

#include <QPushButton>
#include <QVBoxLayout>

#include <array>

TRatioForm* RatioForm = nullptr;

namespace {

// By item index.
constexpr const auto& kModes = kModeChoices;

} // namespace

TRatioForm::TRatioForm(QWidget* parent) : TForm(parent)
{
    setWindowTitle(QStringLiteral("Mode"));
    RatioRadioGroup = new RadioGroupBox({},
                                        {QStringLiteral("QRSS , dash-dot ratio = 3"),
                                         QStringLiteral("QRSS , dash-dot ratio = 2"),
                                         QStringLiteral("DFCW , single space"),
                                         QStringLiteral("DFCW , double space"),
                                         QStringLiteral("DFCW, half space")},
                                        1, this);
    RatioRadioGroup->setAccessibleName(QStringLiteral("Mode"));
    OkBitBtn = MakeButton(QStringLiteral("OK"), Accepted, [this] { OkBitBtnClick(); });
    CancelBitBtn = MakeButton(QStringLiteral("Cancel"), Rejected);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RatioRadioGroup);
    AddDialogButtons(layout, OkBitBtn, CancelBitBtn);
    SetCancelButton(CancelBitBtn);
}

void TRatioForm::FormActivate()
{
    // A pair no item stands for leaves the selection as it was left.
    for (std::size_t i = 0; i < kModes.size(); ++i)
        if (kModes[i].dfcw == DfcwMode && kModes[i].code == RatioCode)
            RatioRadioGroup->SetItemIndex(static_cast<int>(i));
    RatioRadioGroup->FocusItem(); // Return then presses OK
}

void TRatioForm::OkBitBtnClick()
{
    const int index = RatioRadioGroup->ItemIndex();
    if (index < 0)
        return;
    DfcwMode = kModes[static_cast<std::size_t>(index)].dfcw;
    RatioCode = kModes[static_cast<std::size_t>(index)].code;
}
