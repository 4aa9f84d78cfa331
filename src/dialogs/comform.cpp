#include "comform.h"

#include "widgets/dialogparts.h"
#include "io/lineassign.h"
#include "io/portdevices.h"
#include "io/portdriver.h"
#include "widgets/radiogroupbox.h"
#include "settings/settings.h"

#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TComForm* ComForm = nullptr;
std::function<void(std::uint8_t runKind)> PortRunner;

namespace {

// The tooltip of a port item: the device it stands for here, and whether it
// is there. Paths are the system's UTF-8, not settings bytes.
QString PortTip(std::uint8_t port)
{
    const PortDescription d = Devices().Describe(port);
    if (d.device.empty())
        return QStringLiteral("No port opens in this run");
    QString tip = QString::fromStdString(d.device) + (d.present ? QStringLiteral(" (present)") : QStringLiteral(" (not present now)"));
    if (port == kPortHamlib)
        tip += QStringLiteral("; PTT by CAT. Without radio.key in VANTREL.PORTS nothing is keyed by a line: "
                              "the sound card's tone is the transmission, so the sound source must be the sound card");
    return tip;
}

} // namespace

std::uint8_t PortOfItem(int index)
{
    if (index >= 12)
        return index == 12 ? kPortGpio : kPortHamlib;
    return static_cast<std::uint8_t>(index <= 9 ? index : index + 10);
}

TComForm::TComForm(QWidget* parent) : TForm(parent)
{
    setWindowTitle(QStringLiteral("Select port"));
    QStringList ports{QStringLiteral("None")};
    for (int n = 1; n <= 9; ++n)
        ports << QStringLiteral("COM") + QString::number(n);
    ports << QStringLiteral("LPT1") << QStringLiteral("LPT2") << QStringLiteral("GPIO")
          << QStringLiteral("Radio (Hamlib)");
    SelectGroup = new RadioGroupBox(QStringLiteral("Select port : "), ports, 3, this);
    ComGroup = new RadioGroupBox(QStringLiteral("Serial port only : "),
                                 {QStringLiteral("RTS = key , DTR = PTT/DFCW"), QStringLiteral("DTR = key , RTS = PTT/DFCW")},
                                 1, this);
    LptGroup = new RadioGroupBox(QStringLiteral("Parallel port connections  : "),
                                 {QStringLiteral("Vantrel default"), QStringLiteral("DX4WIN compatible")}, 1, this);
    OkBitBtn = MakeButton(QStringLiteral("OK"), Accepted, [this] { OkBitBtnClick(); });
    CancelBitBtn = MakeButton(QStringLiteral("Cancel"), Rejected, [this] { CancelBitBtnClick(); });
    SetCancelButton(CancelBitBtn);

    auto* layout = new QVBoxLayout(this);
    for (RadioGroupBox* group : {SelectGroup, ComGroup, LptGroup})
        layout->addWidget(group);
    AddDialogButtons(layout, OkBitBtn, CancelBitBtn);
}

void TComForm::FormActivate()
{
    // Any other stored value leaves the selection as it was left.
    if (PortNumber < 10)
        SelectGroup->SetItemIndex(PortNumber);
    else if (PortNumber == kPortLpt1 || PortNumber == kPortLpt2)
        SelectGroup->SetItemIndex(PortNumber - 10);
    else if (PortNumber == kPortGpio || PortNumber == kPortHamlib)
        SelectGroup->SetItemIndex(PortNumber == kPortGpio ? 12 : 13);
    ComGroup->SetItemIndex(ComSwap ? 1 : 0);
    LptGroup->SetItemIndex(LptWiring == kWiringDx4win ? 1 : 0);
    DescribePorts();
    SelectGroup->FocusItem(); // Return then presses OK
    DialogCancelled = false;
}

void TComForm::DescribePorts()
{
    for (int i = 1; i < SelectGroup->Count(); ++i)
        SelectGroup->Item(i)->setToolTip(PortTip(PortOfItem(i)));
}

void TComForm::OkBitBtnClick()
{
    const bool comSwap = ComGroup->ItemIndex() == 1;
    const std::uint8_t lptWiring = LptGroup->ItemIndex() == 1 ? kWiringDx4win : kWiringStandard;
    const int index = SelectGroup->ItemIndex();
    if (index == 0) {
        if (PortOpen)
            PortRunner(kRunReleasePort);
        PortNumber = kPortNone;
    } else if (index > 0) {
        SwitchTo(PortOfItem(index), comSwap, lptWiring);
    }
    AssignLines(comSwap, lptWiring);
}

// Releases the open port with the assignment it was opened with, then opens
// `port` with the one chosen now, so that its idle lines are set on the pins
// that will key it. Nothing happens when `port` is the one open.
void TComForm::SwitchTo(std::uint8_t port, bool comSwap, std::uint8_t lptWiring)
{
    const std::uint8_t old = PortNumber;
    PortNumber = port;
    if (port == old && PortOpen)
        return;
    if (PortOpen) {
        PortNumber = old;
        PortRunner(kRunReleasePort);
        PortNumber = port;
    }
    AssignLines(comSwap, lptWiring);
    PortRunner(kRunOpenPort);
}

void TComForm::CancelBitBtnClick() { DialogCancelled = true; }
