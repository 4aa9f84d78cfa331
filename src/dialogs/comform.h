// TComForm: the port that keys the transmitter, how a serial port's two lines
// are assigned and how a parallel port is wired. Unlike the other setup
// dialogs it acts at once: a new port is switched to through the transmit
// window's release and opening runs, which report the outcome.
#pragma once

#include "widgets/form.h"

#include <cstdint>
#include <functional>

class QPushButton;
class RadioGroupBox;

class TComForm : public TForm {
    Q_OBJECT
public:
    explicit TComForm(QWidget* parent = nullptr);

    RadioGroupBox* SelectGroup;
    RadioGroupBox* ComGroup;
    RadioGroupBox* LptGroup;
    QPushButton* OkBitBtn;
    QPushButton* CancelBitBtn;

protected:
    void FormActivate() override;

private:
    void OkBitBtnClick();
    void CancelBitBtnClick();
    void SwitchTo(std::uint8_t port, bool comSwap, std::uint8_t lptWiring);
    void DescribePorts();
};

extern TComForm* ComForm;

// Shows the transmit window modally for `runKind` (kRunOpenPort or
// kRunReleasePort) and returns when its run has ended. The transmit window
// lies above the dialogs, so start-up installs this with the windows
// (CreateForms) and clears it with them. UI thread only.
extern std::function<void(std::uint8_t runKind)> PortRunner;

// The port selector PortNumber of SelectGroup's item `index` (0..11).
std::uint8_t PortOfItem(int index);
