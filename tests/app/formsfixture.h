// Every window created on simulated port hardware and a simulated clock that
// the test ticks: driven one by one, or the program as started.
#pragma once

#include "app/forms.h"
#include "app/keyform.h"
#include "app/mainform.h"
#include "widgets/msgform.h"
#include "io/portdriver.h"
#include "io/simdevices.h"
#include "modal.h"
#include "settings/settings.h"
#include "support/fakeclock.h"
#include "support/tempdir.h"
#include "tonegen/player.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QMenuBar>

// The windows driven one by one: created by the test, none shown, and
// destroyed at the end without waiting for what they left queued.
class SimulatedFormsTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        clock_.SetLocal(46000, 10 * 3600000LL);
        InstallPortDevices(&sim_);
    }
    void TearDown() override
    {
        DestroyForms();
        ReleasePort();
        PortOpen = false;
        InstallPortDevices(nullptr);
        TempDirTest::TearDown();
    }
    // Every window, none shown, the transmit window ticked by the test alone.
    void CreateWindows(const std::vector<std::string>& args = {})
    {
        CreateForms(clock_, player_, args);
        KeyForm->TimerDriven = false;
    }
    // The transmit window's 100 ms timer on the simulated clock.
    void Tick(int n = 1)
    {
        for (int i = 0; i < n && KeyForm->isVisible(); ++i) {
            clock_.Advance(100);
            KeyForm->KeyTimerTimer();
        }
    }

    FakeClock clock_;
    SilentPlayer player_;
    SimPortDevices sim_{&clock_};
    ModalWatchdog watchdog_;
};

// The program as started: the main window shown and what it brings up answered.
class FormsTest : public SimulatedFormsTest {
protected:
    void TearDown() override
    {
        Settle(30); // waits for modal windows that were called off end
        SimulatedFormsTest::TearDown();
    }
    void Start(const std::vector<std::string>& args = {})
    {
        CreateWindows(args);
        SlowCwForm->show();
        Settle();
    }
    static QAction* Action(const char* name)
    {
        auto* action = SlowCwForm->findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_NE(action, nullptr) << name;
        return action;
    }
    // Answers the next message dialog with its single OK; returns its text
    // through `text` (left empty when none came before the flag is cleared).
    static std::shared_ptr<bool> AnswerMessage(QString& text)
    {
        return OnNextModal([&text](QDialog* m) {
            EXPECT_EQ(m, MsgForm);
            text = MsgForm->MsgLabel->text();
            MsgForm->Ok2BitBtn->click();
        });
    }
};
