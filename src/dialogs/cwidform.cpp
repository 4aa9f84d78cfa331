#include "cwidform.h"

#include "widgets/dialogparts.h"
#include "widgets/radiogroupbox.h"
#include "settings/settingrules.h"
#include "settings/settings.h"

#include <QPushButton>
#include <QVBoxLayout>

#include <array>

TCwIdForm* CwIdForm = nullptr;

namespace {

// Words per minute by item index of the speed group.
constexpr const auto& kSpeeds = kIdSpeeds;

QStringList OnOffItems() { return {QStringLiteral("enabled"), QStringLiteral("disabled")}; }

void StoreEnabled(const RadioGroupBox* group, bool& enabled)
{
    if (const int index = group->ItemIndex(); index >= 0)
        enabled = index == 0;
}

} // namespace

TCwIdForm::TCwIdForm(QWidget* parent) : TForm(parent)
{
    setWindowTitle(QStringLiteral("CW identification"));
    SpeedRadioGroup = new RadioGroupBox(QStringLiteral("CW Speed :"),
                                        {QStringLiteral("6 WPM"), QStringLiteral("9 WPM"), QStringLiteral("12 WPM"),
                                         QStringLiteral("15 WPM")},
                                        2, this);
    StartRadioGroup = new RadioGroupBox(QStringLiteral("Start text :"), OnOffItems(), 2, this);
    StopRadioGroup = new RadioGroupBox(QStringLiteral("Stop text :"), OnOffItems(), 2, this);
    OK = MakeButton(QStringLiteral("OK"), Accepted, [this] { OKClick(); });
    CancelBitBtn = MakeButton(QStringLiteral("Cancel"), Rejected, [this] { CancelBitBtnClick(); });
    SetCancelButton(CancelBitBtn);

    auto* layout = new QVBoxLayout(this);
    for (RadioGroupBox* group : {SpeedRadioGroup, StartRadioGroup, StopRadioGroup})
        layout->addWidget(group);
    AddDialogButtons(layout, OK, CancelBitBtn);
}

void TCwIdForm::FormActivate()
{
    CloseAllowed = false;
    // Any other speed leaves the selection as it was left.
    for (std::size_t i = 0; i < kSpeeds.size(); ++i)
        if (kSpeeds[i] == StartId.Wpm)
            SpeedRadioGroup->SetItemIndex(static_cast<int>(i));
    StartRadioGroup->SetItemIndex(StartId.Enabled ? 0 : 1);
    StopRadioGroup->SetItemIndex(StopId.Enabled ? 0 : 1);
    SpeedRadioGroup->FocusItem(); // Return then presses OK
}

void TCwIdForm::OKClick()
{
    if (const int index = SpeedRadioGroup->ItemIndex(); index >= 0)
        StartId.Wpm = kSpeeds[static_cast<std::size_t>(index)];
    StoreEnabled(StartRadioGroup, StartId.Enabled);
    StoreEnabled(StopRadioGroup, StopId.Enabled);
    StopId.Wpm = StartId.Wpm; // one speed for both identifications
    CloseAllowed = true;
}

void TCwIdForm::CancelBitBtnClick() { CloseAllowed = true; }
