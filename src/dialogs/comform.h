// TComForm: the port that keys the transmitter, how a serial port's two lines
// are assigned and how a parallel port is wired. Unlike the other setup
// dialogs it acts at once: a new port is switched to through the transmit
// window's release and opening runs, which report the outcome.
#pragma once

#include "app/form.h"

#include <cstdint>

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

// The port selector PortNumber of SelectGroup's item `index` (0..11).
std::uint8_t PortOfItem(int index);
