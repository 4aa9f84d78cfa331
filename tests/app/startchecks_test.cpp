// The checks of a start made from the main window: the start and stop time
// that Start Later goes on with, and a selected text with nothing to send.
#include "formsfixture.h"

#include "dialogs/starttimeform.h"

#include "settings/settingsfile.h"

#include <QLineEdit>
#include <QTimer>
#include <QTest>

namespace {

class StartChecksTest : public FormsTest {
protected:
    // Start Later: `inDialog` runs in the start time dialog; returns the
    // transmit window's title if it was shown (it is cancelled at once).
    QString StartLater(std::function<void(QDialog*)> inDialog)
    {
        QString title;
        std::shared_ptr<bool> waiting;
        OnNextModal([&](QDialog* d) {
            EXPECT_EQ(d, StartTimeForm);
            inDialog(d);
            waiting = OnNextModal([&](QDialog* k) {
                EXPECT_EQ(k, KeyForm);
                title = k->windowTitle();
                KeyForm->CancelBitBtn->click();
            });
        });
        Action("StartLater")->trigger();
        if (waiting)
            *waiting = false; // no transmit window came
        return title;
    }
    // Closes `d` with its close box; returns the message shown meanwhile.
    static QString CloseBox(QDialog* d)
    {
        QString message;
        const auto waiting = AnswerMessage(message);
        d->close(); // a message is shown and answered within
        *waiting = false;
        Settle();
        return message;
    }
    bool Requested(CommFunction function) const
    {
        for (const auto& r : sim_.Requests())
            if (r.function == function)
                return true;
        return false;
    }
};

// Start Later shows Start Now's HH:MM:SS as six digits, also after a Cancel.
TEST_F(StartChecksTest, StartLaterShowsTheLastStartNowTimeAsSixDigits)
{
    Start();
    Texts[1] = "E";
    StartTime = "10:00:00"; // as a start now leaves it
    for (int showing = 0; showing < 2; ++showing)
        StartLater([](QDialog*) {
            EXPECT_EQ(StartTimeForm->StartEdit->text(), QStringLiteral("100000"));
            StartTimeForm->CancelBitBtn->click();
        });
}

TEST_F(StartChecksTest, CloseBoxRefusesAnInvalidStopTimeWhileTheDialogIsOpen)
{
    Start();
    Texts[1] = "E";
    StartTime = "142500";
    // A failed OK and Cancel leave the invalid stop time stored.
    EXPECT_EQ(StartLater([](QDialog*) {
                  StartTimeForm->StopEdit->setText(QStringLiteral("1425:"));
                  QString message;
                  const auto waiting = AnswerMessage(message);
                  StartTimeForm->OkBitBtn->click();
                  *waiting = false;
                  EXPECT_EQ(message, QStringLiteral("invalid stop time"));
                  StartTimeForm->CancelBitBtn->click();
              }),
              QString());
    EXPECT_EQ(StopTime, "1425:");

    // The close box does not start with it: the dialog says so and stays open
    // until the stop time is mended.
    const QString title = StartLater([](QDialog* d) {
        EXPECT_EQ(CloseBox(d), QStringLiteral("invalid stop time"));
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(d->focusWidget(), StartTimeForm->StopEdit);
        EXPECT_TRUE(SlowCwForm->isVisible());
        StartTimeForm->StopEdit->setText(QStringLiteral("160000"));
        QTest::keyClick(StartTimeForm->StopEdit, Qt::Key_Return); // OK is the default button
    });
    EXPECT_EQ(title, QStringLiteral("Vantrel (V4.14) : Transmission will start at 14:25:00 and stop at 16:00:00"));
}

TEST_F(StartChecksTest, CloseBoxRefusesTheStartTimeThatStartNowLeaves)
{
    Start();
    Texts[1] = "E";
    StartTime = "10:00:00"; // as a start now leaves it
    EXPECT_EQ(StartLater([](QDialog* d) {
                  EXPECT_EQ(CloseBox(d), QStringLiteral("invalid start time"));
                  EXPECT_TRUE(d->isVisible());
                  EXPECT_EQ(d->focusWidget(), StartTimeForm->StartEdit);
                  QTest::keyClick(d, Qt::Key_Escape); // Cancel
              }),
              QString());
    EXPECT_TRUE(DialogCancelled);
    EXPECT_TRUE(SlowCwForm->isVisible());

    // Valid stored times: the close box goes on as OK does.
    StartTime = "142530";
    StopTime = "";
    EXPECT_EQ(StartLater([](QDialog* d) { EXPECT_EQ(CloseBox(d), QString()); }),
              QStringLiteral("Vantrel (V4.14) : Transmission will start at 14:25:30"));
}

TEST_F(StartChecksTest, QsoStartTimeDialogClosesWithoutATime)
{
    Start();
    bool closed = false;
    OnNextModal([&](QDialog*) {
        OnNextModal([&](QDialog* s) {
            EXPECT_EQ(s, StartTimeForm);
            EXPECT_EQ(CloseBox(s), QString()); // no start time: TX sends at once
            closed = !s->isVisible();
        });
        KeyForm->StartMenu->trigger();
        KeyForm->CancelBitBtn->click();
    });
    Action("StartQso")->trigger();
    EXPECT_TRUE(closed);
}

TEST_F(StartChecksTest, EmptyTextStartsNothingAndSaysWhichText)
{
    Start();
    QString message;
    AnswerMessage(message);
    Action("StartNow")->trigger();
    EXPECT_EQ(message, QStringLiteral("Text 1 is empty : nothing to transmit"));
    EXPECT_TRUE(SlowCwForm->isVisible());

    // Start Later asks for no time first; spaces alone are empty too.
    Texts[1] = "E";
    Texts[3] = "   ";
    TextNumber = 3;
    message.clear();
    AnswerMessage(message);
    Action("StartLater")->trigger();
    EXPECT_EQ(message, QStringLiteral("Text 3 is empty : nothing to transmit"));
    EXPECT_FALSE(KeyForm->isVisible());
    EXPECT_FALSE(StartTimeForm->isVisible());
    EXPECT_TRUE(SlowCwForm->ClockTimer->isActive());
}

TEST_F(StartChecksTest, TextWithNothingToKeyIsRefusedLikeAnEmptyOne)
{
    Start();
    Texts[1] = "+#\x01";
    QString message;
    AnswerMessage(message);
    Action("StartNow")->trigger();
    EXPECT_EQ(message, QStringLiteral("Text 1 has no Morse character : nothing to transmit"));
    EXPECT_FALSE(KeyForm->isVisible());
}

TEST_F(StartChecksTest, AutostartWithAnEmptyTextNeverSwitchesPtt)
{
    // The beacon that keyed PTT twice a second for ever: endless, no interval.
    PortNumber = 1;
    RepeatCount = 0;
    RepeatInterval = 0;
    ASSERT_TRUE(SaveSettings());
    QString message;
    AnswerMessage(message);
    Start({"autostart"});
    QTest::qWait(400);
    EXPECT_EQ(message, QStringLiteral("Text 1 is empty : nothing to transmit"));
    EXPECT_FALSE(AutoStart);
    EXPECT_TRUE(PortOpen);
    EXPECT_FALSE(Requested(CommFunction::SetDtr)); // PTT never on
    EXPECT_FALSE(Requested(CommFunction::SetRts)); // key never down
    EXPECT_TRUE(Requested(CommFunction::ClrDtr)); // switched off at the opening
    EXPECT_TRUE(SlowCwForm->isVisible());
}

} // namespace
