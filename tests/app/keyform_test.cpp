// The transmit window driven offscreen through its buttons, on simulated
// hardware and a simulated clock that the tests tick.
#include "dialogs/speedform.h"
#include "dialogs/starttimeform.h"
#include "formsfixture.h"

#include <cerrno>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

using F = CommFunction;

void Later(int ms, std::function<void()> action) { QTimer::singleShot(ms, std::move(action)); }

class KeyFormTest : public SimulatedFormsTest {
protected:
    void SetUp() override
    {
        SimulatedFormsTest::SetUp();
        CreateWindows();
    }
    bool Requested(F function) const
    {
        for (const auto& r : sim_.Requests())
            if (r.function == function)
                return true;
        return false;
    }
    void OpenCom(std::uint8_t n)
    {
        PortNumber = n;
        OpenSelectedPort();
        ASSERT_TRUE(PortOpen);
    }

};

TEST(KeyTimerGrid, TicksFallJustAfterEachTenth)
{
    EXPECT_EQ(MsToNextTenth(36000000, 2), 2);
    EXPECT_EQ(MsToNextTenth(36000001, 2), 1);
    EXPECT_EQ(MsToNextTenth(36000002, 2), 100);
    EXPECT_EQ(MsToNextTenth(36000050, 2), 52);
    EXPECT_EQ(MsToNextTenth(86399999, 2), 3);
}

TEST_F(KeyFormTest, StartNowKeysTheTextAndCloses)
{
    OpenCom(1);
    Texts[1] = "E";
    bool ran = false;
    OnNextModal([&](QDialog* d) {
        EXPECT_EQ(d, KeyForm);
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Vantrel (V4.14) : QRSS , 1 s dot (transmission started at 10:00:00)"));
        EXPECT_EQ(KeyForm->GrayLabel->text(), QStringLiteral("E "));
        EXPECT_EQ(KeyForm->RepeatLabel->text(), QStringLiteral("Repeat text : 1 time"));
        EXPECT_TRUE(KeyForm->CancelBitBtn->isVisible());
        EXPECT_EQ(KeyForm->CancelBitBtn->x(), 341);
        EXPECT_FALSE(KeyForm->TxBitBtn->isVisible());
        Tick(15);
        EXPECT_TRUE(KeyForm->BlueLabel->isVisible());
        EXPECT_EQ(KeyForm->BlueLabel->text(), QStringLiteral("E"));
        EXPECT_TRUE(KeyForm->StatusLabel->text().startsWith(QStringLiteral("Status : transmitting QRSS, end expected in ")));
        EXPECT_EQ(KeyForm->ClockLabel->text(), QStringLiteral("10:00:01"));
        Tick(30);
        ran = !KeyForm->isVisible();
    });
    SlowCwForm->StartNowClick();
    EXPECT_TRUE(ran) << "the window did not close after the message";
    EXPECT_TRUE(Requested(F::SetRts)); // key
    EXPECT_TRUE(Requested(F::SetDtr)); // PTT
    EXPECT_FALSE(sim_.Lines(1).rts);
    EXPECT_FALSE(sim_.Lines(1).dtr);
    EXPECT_TRUE(SlowCwForm->isVisible());
}

// The adapter pulled out during a transmission: the status line says the port
// is lost, not "transmitting"; Cancel while it is lost closes the window, and
// when the device comes back afterwards its lines stay off.
TEST_F(KeyFormTest, LostPortIsShownAndCancelKeepsTheLinesOffWhenItReturns)
{
    OpenCom(1);
    Texts[1] = "T";
    bool ran = false;
    OnNextModal([&](QDialog*) {
        Tick(15);
        ASSERT_TRUE(sim_.Lines(1).rts); // the dash is keyed
        sim_.Unplug(1, EIO);
        Tick(40); // the dash ends: its key-up fails
        EXPECT_TRUE(PortLost());
        EXPECT_TRUE(KeyForm->StatusLabel->text().startsWith(
            QStringLiteral("Status : port COM1 lost (Input/output error), nothing is sent")))
            << KeyForm->StatusLabel->text().toStdString();
        // Shown whole, inside the window.
        EXPECT_GE(KeyForm->StatusLabel->width(), KeyForm->StatusLabel->sizeHint().width());
        EXPECT_LE(KeyForm->StatusLabel->x() + KeyForm->StatusLabel->width(), KeyForm->width());
        QTest::mouseClick(KeyForm->CancelBitBtn, Qt::LeftButton);
        ran = !KeyForm->isVisible();
    });
    testing::internal::CaptureStderr();
    SlowCwForm->StartNowClick();
    sim_.PlugIn(1);
    RetryLostPort();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(ran);
    EXPECT_FALSE(PortLost());
    EXPECT_TRUE(PortOpen);
    EXPECT_FALSE(sim_.Lines(1).rts);
    EXPECT_FALSE(sim_.Lines(1).dtr);
    EXPECT_NE(err.find("port back: COM1"), std::string::npos) << err;
}

TEST_F(KeyFormTest, StartLaterWaitsForItsTime)
{
    Texts[1] = "E";
    StartTime = "100010";
    StartImmediately = false;
    RunKind = kRunTransmit;
    OnNextModal([&](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Vantrel (V4.14) : Transmission will start at 10:00:10"));
        Tick(99);
        EXPECT_EQ(KeyForm->Engine().R.TxState, keying::WaitStart);
        EXPECT_EQ(KeyForm->StatusLabel->text(), QStringLiteral("Status : transmission will start at 10:00:10"));
        Tick(1);
        EXPECT_EQ(KeyForm->Engine().R.TxState, keying::PlanSync);
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Vantrel (V4.14) : QRSS , 1 s dot (started at 10:00:10)"));
        KeyForm->CancelBitBtn->click();
    });
    KeyForm->exec();
    EXPECT_TRUE(DialogCancelled);
}

// A text wider than the screen: the character being sent stays in view, and
// Cancel in the middle.
TEST_F(KeyFormTest, LongTextKeepsTheCurrentCharacterInView)
{
    Texts[1] = std::string(250, 'E');
    StartImmediately = true;
    RunKind = kRunTransmit;
    OnNextModal([this](QDialog* d) {
        while (KeyForm->BlueLabel->text().size() < 240 && !HasFailure()) {
            Tick(40);
            const QLabel* blue = KeyForm->BlueLabel;
            for (const int x : {KeyForm->BlackLabel->isVisible() ? KeyForm->BlackLabel->width() : 0, blue->width() - 1})
                EXPECT_TRUE(blue->visibleRegion().contains(QPoint(x, blue->height() / 2))) << blue->text().size();
            EXPECT_NEAR(KeyForm->CancelBitBtn->geometry().center().x(), d->width() / 2, 1);
        }
        KeyForm->CancelBitBtn->click();
    });
    KeyForm->exec();
}

TEST_F(KeyFormTest, CloseBoxIsRefusedWhileTransmitting)
{
    Texts[1] = "TTT";
    StartImmediately = true;
    RunKind = kRunTransmit;
    OnNextModal([&](QDialog* d) {
        Tick(20);
        d->close();
        Settle();
        EXPECT_TRUE(d->isVisible());
        QTest::keyClick(d, Qt::Key_Escape); // presses Cancel
    });
    KeyForm->exec();
    EXPECT_FALSE(KeyForm->isVisible());
}

// The port runs: a red warning first, the outcome in the window's message line.
class PortRunTest : public KeyFormTest {
protected:
    // One line for each line of the result, above a centred OK.
    static void ExpectResultWhole()
    {
        const QLabel* label = KeyForm->MsgLabel;
        const QStringList lines = label->text().split(QLatin1Char('\n'));
        for (const QString& line : lines)
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(line)) << line.toStdString();
        EXPECT_LT(label->height(), (lines.size() + 1) * label->fontMetrics().lineSpacing());
        EXPECT_LT(label->geometry().bottom(), KeyForm->CancelBitBtn->y());
    }
    void OpenRun(bool confirm, std::function<void()> check)
    {
        RunKind = kRunOpenPort;
        OnNextModal([=](QDialog*) {
            OnNextModal([=](QDialog* m) {
                EXPECT_EQ(m, MsgForm);
                EXPECT_EQ(m->windowTitle(), QStringLiteral("---  WARNING  ---  WARNING  --- WARNING  --- WARNING  ---"));
                EXPECT_EQ(MsgForm->MsgLabel->text(),
                          QStringLiteral("Port outputs can be unstable during initialisation of COM3, beware of unintentional transmitting !"));
                EXPECT_EQ(m->palette().color(QPalette::Window), QColor(Qt::red));
                EXPECT_TRUE(MsgForm->CancelBitBtn->isVisible());
                (confirm ? MsgForm->OkBitBtn : MsgForm->CancelBitBtn)->click();
                Later(20, [=] {
                    check();
                    ExpectResultWhole();
                    EXPECT_TRUE(KeyForm->CancelBitBtn->isVisible());
                    EXPECT_EQ(KeyForm->CancelBitBtn->text(), QStringLiteral("OK"));
                    KeyForm->CancelBitBtn->click();
                });
            });
        });
        KeyForm->exec();
    }
};

TEST_F(PortRunTest, CancelledWarningLeavesThePortClosed)
{
    PortNumber = 3;
    OpenRun(false, [] {
        EXPECT_EQ(KeyForm->windowTitle(), QStringLiteral("Initializing serial port"));
        EXPECT_EQ(KeyForm->MsgLabel->text(), QStringLiteral("Initialisation of COM3 Cancelled"));
    });
    EXPECT_FALSE(PortOpen);
    EXPECT_EQ(PortNumber, 3);
}

TEST_F(PortRunTest, OpenedPortHasItsLinesOff)
{
    PortNumber = 3;
    OpenRun(true, [] { EXPECT_EQ(KeyForm->MsgLabel->text(), QStringLiteral("Initialisation of COM3 successful")); });
    EXPECT_TRUE(PortOpen);
    EXPECT_FALSE(sim_.Lines(3).rts);
    EXPECT_FALSE(sim_.Lines(3).dtr);
}

TEST_F(PortRunTest, MissingDeviceDropsThePortForTheRun)
{
    PortNumber = 3;
    sim_.SetMissing(3);
    OpenRun(true, [] {
        EXPECT_EQ(KeyForm->MsgLabel->text(),
                  QStringLiteral("Initialisation of COM3 failed\nCOM3 (simulated): not present"));
        EXPECT_GE(KeyForm->MsgLabel->height(), 2 * KeyForm->MsgLabel->fontMetrics().height());
        EXPECT_LE(KeyForm->MsgLabel->geometry().bottom(), KeyForm->CancelBitBtn->geometry().top());
    });
    EXPECT_FALSE(PortOpen);
    EXPECT_EQ(PortNumber, 3); // the user's choice stays for the settings file
    SetKey(true);
    EXPECT_TRUE(sim_.Requests().empty()); // nothing keys without the port
}

TEST_F(PortRunTest, ReleaseSwitchesOffAndCloses)
{
    PortNumber = kPortLpt1;
    OpenSelectedPort();
    SetKey(true);
    RunKind = kRunReleasePort;
    OnNextModal([](QDialog* d) {
        Later(20, [d] {
            EXPECT_EQ(d->windowTitle(), QStringLiteral("Releasing parallel port"));
            EXPECT_EQ(KeyForm->MsgLabel->text(), QStringLiteral("Release of LPT1 successful"));
            KeyForm->CancelBitBtn->click();
        });
    });
    KeyForm->exec();
    EXPECT_FALSE(PortOpen);
    EXPECT_EQ(sim_.Space().Data(0x378), 0xFC);
}

TEST_F(KeyFormTest, TransmitterTestButtons)
{
    OpenCom(2);
    StartImmediately = true;
    RunKind = kRunTest;
    OnNextModal([&](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Transmitter test"));
        EXPECT_TRUE(KeyForm->PushKeyButton->isVisible());
        EXPECT_FALSE(KeyForm->StatusLabel->isVisible());
        KeyForm->PushKeyButton->click();
        EXPECT_TRUE(sim_.Lines(2).rts);
        KeyForm->ReleaseKeyButton->click();
        EXPECT_FALSE(sim_.Lines(2).rts);
        KeyForm->PushPttButton->click();
        EXPECT_TRUE(sim_.Lines(2).dtr);
        KeyForm->PushKeyButton->click();
        KeyForm->CancelBitBtn->click();
    });
    KeyForm->exec();
    EXPECT_FALSE(sim_.Lines(2).rts);
    EXPECT_FALSE(sim_.Lines(2).dtr);
}

TEST_F(KeyFormTest, QsoTransmitThenReceiveDuringSynchronisation)
{
    SyncPeriod = 3;
    Texts[2] = "CQ";
    TextNumber = 2;
    StartImmediately = true;
    RunKind = kRunQso;
    OnNextModal([&](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Vantrel (V4.14) : QSO mode (QRSS : 1 s dot)"));
        EXPECT_TRUE(KeyForm->KeyMenu->isVisible());
        EXPECT_EQ(KeyForm->TextComboBox->currentText(), QStringLiteral("CQ"));
        EXPECT_EQ(KeyForm->TextComboBox->count(), 12);
        EXPECT_EQ(KeyForm->CancelBitBtn->x(), 429);
        KeyForm->TxBitBtn->click();
        EXPECT_EQ(KeyForm->TxBitBtn->text(), QStringLiteral("RX"));
        EXPECT_FALSE(KeyForm->TextComboBox->isVisible());
        EXPECT_FALSE(KeyForm->StartMenu->isEnabled());
        Tick(3);
        EXPECT_EQ(KeyForm->Engine().R.TxState, keying::WaitSyncLead);
        KeyForm->TxBitBtn->click();
        EXPECT_FALSE(KeyForm->TxBitBtn->isVisible());
        Tick(1);
        EXPECT_EQ(KeyForm->TxBitBtn->text(), QStringLiteral("TX"));
        EXPECT_TRUE(KeyForm->TxBitBtn->isVisible());
        EXPECT_TRUE(KeyForm->TextComboBox->isVisible());
        EXPECT_TRUE(d->isVisible());
        d->close(); // QSO mode runs: the close box is refused
        Settle();
        EXPECT_TRUE(d->isVisible());
        KeyForm->CancelBitBtn->click();
    });
    KeyForm->exec();
}

TEST_F(KeyFormTest, QsoLineRefusesCharactersOutsideTheTable)
{
    RunKind = kRunQso;
    OnNextModal([&](QDialog*) {
        QLineEdit* edit = KeyForm->TextComboBox->lineEdit();
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("ab"));
        EXPECT_EQ(KeyForm->StatusLabel->text(), QStringLiteral("Duration : 0'18\"")); // A 8 s, B 10 s
        bool told = false;
        OnNextModal([&](QDialog*) {
            told = MsgForm->MsgLabel->text() == QStringLiteral("# is an invalid CW character");
            MsgForm->Ok2BitBtn->click();
        });
        QTest::keyClicks(edit, QStringLiteral("#"));
        EXPECT_TRUE(told);
        EXPECT_EQ(edit->text(), QStringLiteral("AB#")); // left as it is
        KeyForm->CancelBitBtn->click();
    });
    KeyForm->exec();
}

TEST_F(KeyFormTest, QsoDotLengthMenuOffersTheKeyGapInDfcw)
{
    DfcwMode = true;
    RatioCode = 1;
    KeyGap = 2000;
    RunKind = kRunQso;
    OnNextModal([&](QDialog* d) {
        OnNextModal([&](QDialog* s) {
            EXPECT_EQ(s, SpeedForm);
            EXPECT_TRUE(SpeedForm->GapEdit->isVisible());
            EXPECT_EQ(SpeedForm->GapEdit->text(), QStringLiteral("2"));
            SpeedForm->DotEdit->setText(QStringLiteral("60"));
            SpeedForm->OkBitBtn->click();
        });
        KeyForm->SpeedMenu->trigger();
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Vantrel (V4.14) : QSO mode (DFCW : 60 s dot)"));
        EXPECT_EQ(DotLength, 1000); // the setting is not touched
        KeyForm->CancelBitBtn->click();
    });
    KeyForm->exec();
}

// The dot length dialog on its own.
class SpeedFormTest : public KeyFormTest {
protected:
    // Opens the dialog, types the fields, presses OK; returns the message shown, if any.
    QString Ok(const char* dot, const char* gap = nullptr, QWidget** focus = nullptr)
    {
        QString message;
        OnNextModal([&](QDialog* d) {
            SpeedForm->DotEdit->setText(QString::fromLatin1(dot));
            if (gap != nullptr)
                SpeedForm->GapEdit->setText(QString::fromLatin1(gap));
            const auto waiting = OnNextModal([&](QDialog*) {
                message = MsgForm->MsgLabel->text();
                MsgForm->Ok2BitBtn->click();
            });
            SpeedForm->OkBitBtn->click();
            *waiting = false; // no message came: OK passed
            Settle(5);
            if (d->isVisible()) {
                if (focus != nullptr)
                    *focus = d->focusWidget();
                SpeedForm->CancelBitBtn->click();
            }
        });
        SpeedForm->exec();
        return message;
    }
};

TEST_F(SpeedFormTest, ChecksAndStoresTheDotLength)
{
    EditDotLength = 1500;
    EditKeyGap = -1;
    OnNextModal([](QDialog* d) {
        EXPECT_EQ(SpeedForm->DotEdit->text(), QStringLiteral("1"));
        EXPECT_FALSE(SpeedForm->GapEdit->isVisible());
        EXPECT_EQ(d->height(), 126 - 34);
        SpeedForm->OkBitBtn->click();
    });
    SpeedForm->exec();
    EXPECT_EQ(EditDotLength, 1000);

    EXPECT_EQ(Ok("3599"), QString());
    EXPECT_EQ(EditDotLength, 3599000);
    EXPECT_EQ(Ok("  12  "), QString());
    EXPECT_EQ(EditDotLength, 12000);
    EXPECT_EQ(SpeedForm->DotEdit->text(), QStringLiteral("12"));
    EXPECT_EQ(Ok(""), QString()); // empty keeps the value
    EXPECT_EQ(EditDotLength, 12000);
    for (const char* bad : {"3600", "0", "-4", "1.5", "abc"}) {
        QWidget* focus = nullptr;
        EXPECT_EQ(Ok(bad, nullptr, &focus), QStringLiteral("Dot length : invalid number")) << bad;
        EXPECT_EQ(focus, SpeedForm->DotEdit) << bad;
        EXPECT_EQ(EditDotLength, 12000) << bad; // Cancel puts back what was handed in
    }
}

TEST_F(SpeedFormTest, ChecksTheKeyGapWhenShown)
{
    EditDotLength = 5000;
    EditKeyGap = 0;
    QWidget* focus = nullptr;
    EXPECT_EQ(Ok("5", "xx", &focus), QStringLiteral("Key gap : invalid number"));
    EXPECT_EQ(focus, SpeedForm->GapEdit);
    EXPECT_EQ(Ok("yy", "xx"), QStringLiteral("Dot length : invalid number"));
    EXPECT_EQ(Ok("5", "5", &focus), QStringLiteral("Dot length must exceed gap length"));
    EXPECT_EQ(focus, SpeedForm->DotEdit);
    EXPECT_EQ(Ok("5", "0"), QString());
    EXPECT_EQ(EditKeyGap, 0);
    EXPECT_EQ(Ok("9", "3"), QString());
    EXPECT_EQ(EditDotLength, 9000);
    EXPECT_EQ(EditKeyGap, 3000);
}

TEST_F(KeyFormTest, StartTimeDialogChecksBothTimes)
{
    StartTime = "000000";
    StopTime = "";
    // Both invalid: two messages, the focus ends in the stop field; Cancel keeps the stop text.
    OnNextModal([](QDialog* d) {
        StartTimeForm->ClockTimerTimer();
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Start time (10:00:00)"));
        EXPECT_TRUE(StartTimeForm->ClockTimer->isActive());
        StartTimeForm->StartEdit->setText(QStringLiteral("240000"));
        StartTimeForm->StopEdit->setText(QStringLiteral("1425"));
        QStringList messages;
        const auto answer = [&messages](QDialog*) {
            messages << MsgForm->MsgLabel->text();
            MsgForm->Ok2BitBtn->click();
        };
        OnNextModal([&](QDialog* m) {
            answer(m);
            OnNextModal(answer);
        });
        StartTimeForm->OkBitBtn->click();
        Settle(30);
        EXPECT_EQ(messages, (QStringList{QStringLiteral("invalid start time"), QStringLiteral("invalid stop time")}));
        EXPECT_EQ(d->focusWidget(), StartTimeForm->StopEdit);
        EXPECT_TRUE(d->isVisible());
        StartTimeForm->CancelBitBtn->click();
    });
    StartTimeForm->exec();
    EXPECT_TRUE(DialogCancelled);
    EXPECT_EQ(StartTime, "000000");
    EXPECT_EQ(StopTime, "1425");
    EXPECT_FALSE(StartTimeForm->ClockTimer->isActive());

    OnNextModal([](QDialog*) {
        StartTimeForm->StartEdit->setText(QStringLiteral("142530"));
        StartTimeForm->StopEdit->clear();
        StartTimeForm->OkBitBtn->click();
    });
    StartTimeForm->exec();
    EXPECT_FALSE(DialogCancelled);
    EXPECT_EQ(StartTime, "142530");
    EXPECT_EQ(StopTime, "");
}

} // namespace
