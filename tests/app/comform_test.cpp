// The port dialog driven offscreen by clicks, on simulated hardware: which
// transmit window runs a choice makes, and what the port's pins show after.
#include "dialogs/comform.h"
#include "widgets/radiogroupbox.h"
#include "formsfixture.h"
#include "settings/settingsfile.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace {

struct PortRun {
    std::uint8_t kind;
    std::uint8_t port; // PortNumber while the run showed its outcome
    QString message;
    bool operator==(const PortRun&) const = default;
};

void PrintTo(const PortRun& run, std::ostream* os)
{
    *os << "{kind " << int(run.kind) << ", port " << int(run.port) << ", " << run.message.toStdString() << "}";
}

// Clicks a push button in its middle, a radio button or check box on its
// indicator (its middle may lie beyond its text, where a click does nothing).
void Click(QAbstractButton* button)
{
    const bool push = qobject_cast<QPushButton*>(button) != nullptr;
    QTest::mouseClick(button, Qt::LeftButton, {}, push ? button->rect().center() : QPoint(8, button->height() / 2));
}

class ComFormTest : public SimulatedFormsTest {
protected:
    void SetUp() override
    {
        SimulatedFormsTest::SetUp();
        CreateWindows();
    }
    void Open(std::uint8_t port)
    {
        PortNumber = port;
        OpenSelectedPort();
        ASSERT_TRUE(PortOpen);
        SetKey(false);
        SetPtt(false);
    }
    // Shows the port dialog, lets `choose` click in it, and answers every
    // window the choice brings up: the opening warning (OK unless
    // `confirmWarning` is false) and each run's OK, recording the runs.
    void Choose(std::function<void()> choose, bool confirmWarning = true)
    {
        bool acted = false, busy = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (busy || modal == nullptr || !modal->isVisible())
                return;
            const auto later = [&](std::function<void()> action) {
                busy = true;
                QTimer::singleShot(0, [&busy, action] {
                    busy = false;
                    action();
                });
            };
            if (modal == ComForm && !acted) {
                acted = true;
                later(choose);
            } else if (modal == MsgForm) {
                ++warnings_;
                later([confirmWarning] { Click(confirmWarning ? MsgForm->OkBitBtn : MsgForm->CancelBitBtn); });
            } else if (modal == KeyForm && KeyForm->CancelBitBtn->isVisible()
                       && KeyForm->CancelBitBtn->text() == QStringLiteral("OK")) {
                runs_.push_back({RunKind, PortNumber, KeyForm->MsgLabel->text()});
                later([] { Click(KeyForm->CancelBitBtn); });
            }
        });
        poll.start(5);
        ComForm->exec();
        EXPECT_TRUE(acted);
    }
    // Clicks the port item `index`, then OK.
    void ChoosePort(int index, bool confirmWarning = true)
    {
        Choose([index] {
            Click(ComForm->SelectGroup->Item(index));
            Click(ComForm->OkBitBtn);
        }, confirmWarning);
    }

    std::vector<PortRun> runs_;
    int warnings_ = 0;
};

constexpr int kLpt1Item = 10, kLpt2Item = 11, kGpioItem = 12, kRadioItem = 13;

TEST_F(ComFormTest, RunsOfEachChoice)
{
    // No port open, choose COM3: one opening run.
    ChoosePort(3);
    EXPECT_EQ(runs_, (std::vector<PortRun>{{kRunOpenPort, 3, QStringLiteral("Initialisation of COM3 successful")}}));
    EXPECT_EQ(warnings_, 1);
    EXPECT_TRUE(PortOpen);
    EXPECT_FALSE(sim_.Lines(3).rts || sim_.Lines(3).dtr);

    // The same port again: no run.
    runs_.clear();
    ChoosePort(3);
    EXPECT_TRUE(runs_.empty());

    // COM3 open, choose LPT2: the release of COM3, then the opening of LPT2.
    ChoosePort(kLpt2Item);
    EXPECT_EQ(runs_, (std::vector<PortRun>{{kRunReleasePort, 3, QStringLiteral("Release of COM3 successful")},
                                       {kRunOpenPort, kPortLpt2, QStringLiteral("Initialisation of LPT2 successful")}}));
    EXPECT_EQ(PortNumber, kPortLpt2);
    EXPECT_TRUE(PortOpen);

    // LPT2 open, choose "None": one release.
    runs_.clear();
    ChoosePort(0);
    EXPECT_EQ(runs_, (std::vector<PortRun>{{kRunReleasePort, kPortLpt2, QStringLiteral("Release of LPT2 successful")}}));
    EXPECT_EQ(PortNumber, kPortNone);
    EXPECT_FALSE(PortOpen);

    // Nothing open, "None" again: no run.
    runs_.clear();
    ChoosePort(0);
    EXPECT_TRUE(runs_.empty());
    EXPECT_EQ(ComForm->windowTitle(), QStringLiteral("Select port"));
}

TEST_F(ComFormTest, CancelledWarningKeepsTheChoiceAndOkTriesAgain)
{
    ChoosePort(5, false);
    EXPECT_EQ(runs_, (std::vector<PortRun>{{kRunOpenPort, 5, QStringLiteral("Initialisation of COM5 Cancelled")}}));
    EXPECT_FALSE(PortOpen);
    EXPECT_EQ(PortNumber, 5);
    runs_.clear();
    ChoosePort(5); // no port is open: the same choice opens it now
    EXPECT_EQ(runs_, (std::vector<PortRun>{{kRunOpenPort, 5, QStringLiteral("Initialisation of COM5 successful")}}));
    EXPECT_TRUE(PortOpen);
}

TEST_F(ComFormTest, AssignmentAloneMakesNoRun)
{
    Open(1);
    ComSwap = false;
    LptWiring = 0x99; // from an edited settings file
    Choose([] {
        EXPECT_EQ(ComForm->SelectGroup->ItemIndex(), 1);
        EXPECT_EQ(ComForm->ComGroup->ItemIndex(), 0);
        EXPECT_EQ(ComForm->LptGroup->ItemIndex(), 0); // shown as "Vantrel default"
        Click(ComForm->ComGroup->Item(1));
        Click(ComForm->OkBitBtn);
    });
    EXPECT_TRUE(runs_.empty());
    EXPECT_TRUE(ComSwap);
    EXPECT_EQ(LptWiring, kWiringStandard);
    EXPECT_TRUE(PortOpen);
    EXPECT_FALSE(sim_.Lines(1).rts || sim_.Lines(1).dtr);
}

TEST_F(ComFormTest, CancelEscapeAndCloseBoxChangeNothing)
{
    Open(2);
    for (int way = 0; way < 3; ++way) {
        Choose([way] {
            Click(ComForm->SelectGroup->Item(kLpt1Item));
            Click(ComForm->ComGroup->Item(1));
            Click(ComForm->LptGroup->Item(1));
            if (way == 0)
                Click(ComForm->CancelBitBtn);
            else if (way == 1)
                QTest::keyClick(ComForm, Qt::Key_Escape);
            else
                ComForm->close();
        });
        EXPECT_EQ(DialogCancelled, way < 2) << way;
        EXPECT_FALSE(ComForm->isVisible());
        EXPECT_TRUE(runs_.empty());
        EXPECT_EQ(PortNumber, 2);
        EXPECT_FALSE(ComSwap);
        EXPECT_EQ(LptWiring, kWiringStandard);
        EXPECT_TRUE(PortOpen);
    }
}

// From LPT1 in the DX4WIN-compatible wiring to LPT2 in the standard wiring in
// one OK: LPT1 is released with its own wiring, LPT2 opened with its new one,
// so that neither is left keyed.
TEST_F(ComFormTest, NewPortOpensWithTheWiringChosenWithIt)
{
    LptWiring = kWiringDx4win;
    Open(kPortLpt1);
    Choose([] {
        Click(ComForm->SelectGroup->Item(kLpt2Item));
        Click(ComForm->LptGroup->Item(0));
        Click(ComForm->OkBitBtn);
    });
    ASSERT_EQ(runs_.size(), 2u);
    EXPECT_EQ(LptWiring, kWiringStandard);
    // LPT2, standard wiring: key (pin 2, data bit 0) and PTT (pin 3, bit 1) low.
    EXPECT_EQ(sim_.Space().Data(0x278) & 0x03, 0);
    // LPT1, DX4WIN wiring: key (pin 1, control bit 0 set = low) and PTT (pin 16, bit 2) low.
    EXPECT_EQ(sim_.Space().Control(0x378) & 0x05, 0x01);
}

// The open port's wiring changed alone: the data pins left high by the
// opening would read as key down and PTT on in the standard wiring.
TEST_F(ComFormTest, WiringChangedOnTheOpenPortLeavesKeyAndPttOff)
{
    LptWiring = kWiringDx4win;
    Open(kPortLpt1);
    SetDfcw(true); // pin 3: PTT in the standard wiring
    ASSERT_EQ(sim_.Space().Data(0x378), 0xFE);
    Choose([] {
        Click(ComForm->LptGroup->Item(0));
        Click(ComForm->OkBitBtn);
    });
    EXPECT_TRUE(runs_.empty());
    EXPECT_EQ(sim_.Space().Data(0x378) & 0x03, 0);
    EXPECT_EQ(sim_.Space().Control(0x378) & 0x05, 0x01);
}

TEST_F(ComFormTest, FailedOpeningSaysWhyAndTheFileKeepsTheChoice)
{
    SlowCwForm->show();
    Settle();
    sim_.SetMissing(kPortLpt1);
    ChoosePort(kLpt1Item);
    EXPECT_EQ(runs_, (std::vector<PortRun>{{kRunOpenPort, kPortLpt1,
                                        QStringLiteral("Initialisation of LPT1 failed\nLPT1 (simulated): not present")}}));
    EXPECT_FALSE(PortOpen);
    SlowCwForm->close(); // the exit saves the settings
    const auto file = ReadFile(kSettingsFileName);
    ASSERT_EQ(file.size(), 3104u);
    EXPECT_EQ(file[record::PortNumber], kPortLpt1);
}

// GPIO and the radio come after LPT2, open and release as the others do, and
// the dialog shows the one chosen when it comes back.
TEST_F(ComFormTest, GpioAndRadioAreChoicesAfterLpt2)
{
    ChoosePort(kGpioItem);
    EXPECT_EQ(runs_, (std::vector<PortRun>{{kRunOpenPort, kPortGpio, QStringLiteral("Initialisation of GPIO successful")}}));
    runs_.clear();
    ChoosePort(kRadioItem);
    EXPECT_EQ(runs_, (std::vector<PortRun>{{kRunReleasePort, kPortGpio, QStringLiteral("Release of GPIO successful")},
                                       {kRunOpenPort, kPortHamlib, QStringLiteral("Initialisation of Radio successful")}}));
    EXPECT_EQ(PortNumber, kPortHamlib);
    Choose([] {
        EXPECT_EQ(ComForm->SelectGroup->ItemIndex(), kRadioItem);
        EXPECT_EQ(ComForm->SelectGroup->Item(kGpioItem)->text(), QStringLiteral("GPIO"));
        EXPECT_EQ(ComForm->SelectGroup->Item(kRadioItem)->text(), QStringLiteral("Radio (Hamlib)"));
        EXPECT_TRUE(ComForm->SelectGroup->Item(kRadioItem)->toolTip().contains(QStringLiteral("must be the sound card")));
        Click(ComForm->CancelBitBtn);
    });
}

TEST_F(ComFormTest, ItemsNameTheirDeviceAndWhetherItIsThere)
{
    sim_.SetMissing(4);
    Choose([] {
        EXPECT_EQ(ComForm->SelectGroup->Item(3)->toolTip(), QStringLiteral("simulated port (present)"));
        EXPECT_EQ(ComForm->SelectGroup->Item(4)->toolTip(), QStringLiteral("simulated port (not present now)"));
        EXPECT_EQ(ComForm->SelectGroup->Item(kLpt2Item)->text(), QStringLiteral("LPT2"));
        EXPECT_TRUE(ComForm->SelectGroup->Item(0)->toolTip().isEmpty());
        Click(ComForm->CancelBitBtn);
    });
    InstallPortDevices(nullptr); // the devices that open nothing
    Choose([] {
        EXPECT_EQ(ComForm->SelectGroup->Item(1)->toolTip(), QStringLiteral("No port opens in this run"));
        Click(ComForm->CancelBitBtn);
    });
}

} // namespace
