#include "app/commandline.h"
#include "app/forms.h"
#include "app/mainform.h"
#include "widgets/msgform.h"
#include "widgets/uppercaseedit.h"
#include "dialogs/comform.h"
#include "dialogs/cwidform.h"
#include "dialogs/fskform.h"
#include "dialogs/placeholders.h"
#include "dialogs/qskform.h"
#include "dialogs/ratioform.h"
#include "dialogs/repeatform.h"
#include "dialogs/seltextform.h"
#include "dialogs/speedform.h"
#include "dialogs/starttimeform.h"
#include "dialogs/syncform.h"
#include "dialogs/textform.h"
#include "dialogs/toneform.h"
#include "dialogs/warnform.h"
#include "help/aboutform.h"
#include "help/copyrightform.h"
#include "help/exitform.h"
#include "help/interfaceform.h"
#include "help/moreaboutform.h"
#include "help/more2form.h"
#include "app/keyform.h"
#include "modal.h"
#include "settings/settings.h"
#include "settings/settingsfile.h"
#include "support/fakeclock.h"
#include "tonegen/player.h"
#include "support/tempdir.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <set>

namespace {

class MainFormTest : public TempDirTest {
protected:
    void Start(const std::vector<std::string>& args = {})
    {
        CreateForms(clock_, player_, args);
        KeyForm->TimerDriven = false;
        SlowCwForm->show();
        Settle();
    }
    void TearDown() override
    {
        DestroyForms();
        TempDirTest::TearDown();
    }
    static QAction* Action(const char* name)
    {
        auto* action = SlowCwForm->findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_NE(action, nullptr) << name;
        return action;
    }
    // Types into the text dialog's edit as a user would.
    static void Type(const char* keys) { QTest::keyClicks(TextForm->TextEdit, QString::fromLatin1(keys)); }

    FakeClock clock_;
    SilentPlayer player_;
    ModalWatchdog watchdog_;
};

TEST(CommandLine, OnlyAutostartAloneInAnyCase)
{
    EXPECT_TRUE(IsAutoStartCommandLine({"autostart"}));
    EXPECT_TRUE(IsAutoStartCommandLine({"AUTOSTART"}));
    EXPECT_TRUE(IsAutoStartCommandLine({"AutoStart"}));
    EXPECT_FALSE(IsAutoStartCommandLine({"autostart", "now"}));
    EXPECT_FALSE(IsAutoStartCommandLine({}));
    EXPECT_FALSE(IsAutoStartCommandLine({"autostar"}));
    EXPECT_FALSE(IsAutoStartCommandLine({"autostarts"}));
    EXPECT_FALSE(IsAutoStartCommandLine({"-autostart"}));
}

TEST_F(MainFormTest, MenuCaptionsInOrder)
{
    Start();
    using Captions = std::vector<std::string>;
    const std::vector<std::pair<std::string, Captions>> expected = {
        {"Setup", {"Port", "Speed", "Text", "Repeat", "QSK", "Mode", "Alarm", "Sound", "DFCW", "CW ID", "Sync."}},
        {"Text", {"Text 1", "Text 2", "Text 3", "Text 4", "Text 5", "Text 6", "Text 7", "Text 8", "Text 9", "Text 10", "Start ID", "Stop ID",
                  "", "Grabber preview"}}, // then the preview, after a separator
        {"Start", {"Now", "Later", "Test", "QSO"}},
        {"Help", {"Copyright", "About Vantrel", "Interface", "More help"}},
    };
    const QList<QAction*> top = SlowCwForm->menuBar()->actions();
    ASSERT_EQ(top.size(), 5);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(top[int(i)]->text().toStdString(), expected[i].first);
        Captions captions;
        for (QAction* a : top[int(i)]->menu()->actions())
            captions.push_back(a->text().toStdString());
        EXPECT_EQ(captions, expected[i].second);
    }
    EXPECT_EQ(top[4]->text(), QStringLiteral("Exit"));
    EXPECT_EQ(top[4]->menu(), nullptr);
    for (const char* name : {"SetupCom", "SetupSync", "Text11", "Text101", "TextStart", "TextStop",
                             "TextPreview", "StartNow", "StartQso", "Copyright", "MoreAbout", "Exit1"})
        Action(name);
}

TEST_F(MainFormTest, EveryWindowExistsOnce)
{
    Start();
    const std::vector<QWidget*> forms = {SlowCwForm, CopyrightForm, TextForm, ComForm, SpeedForm,
        SelTextForm, StartTimeForm, KeyForm, ExitForm, RepeatForm, MsgForm, AboutForm, InterfaceForm,
        MoreAboutForm, More2Form, QskForm, RatioForm, WarnForm, ToneForm, FSKForm, CwIdForm,
        SyncForm, TimeForm};
    for (QWidget* form : forms) {
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->parentWidget(), nullptr);
    }
    EXPECT_EQ(std::set<QWidget*>(forms.begin(), forms.end()).size(), 23u);
    EXPECT_EQ(ExitForm->windowTitle(), QStringLiteral("Exit"));
}

TEST_F(MainFormTest, TitleClockFollowsTheLocalTimeUnlessMinimised)
{
    clock_.SetLocal(46000, (12 * 3600 + 34 * 60 + 56) * 1000 + 789);
    Start();
    SlowCwForm->ClockTimerTimer();
    EXPECT_EQ(SlowCwForm->windowTitle(), QStringLiteral("Vantrel    (V4.14)            12:34:56"));
    EXPECT_EQ(SlowCwForm->ClockTimer->interval(), 100);
    EXPECT_TRUE(SlowCwForm->ClockTimer->isActive());

    SlowCwForm->setWindowState(Qt::WindowMinimized);
    clock_.Advance(2000);
    SlowCwForm->ClockTimerTimer();
    EXPECT_TRUE(SlowCwForm->windowTitle().endsWith(QStringLiteral("12:34:56")));
    SlowCwForm->setWindowState(Qt::WindowNoState);
    QTest::qWait(150); // the clock timer's own tick
    EXPECT_TRUE(SlowCwForm->windowTitle().endsWith(QStringLiteral("12:34:58")));
}

TEST_F(MainFormTest, AutostartStartsOnTheFirstClockTick)
{
    Texts[1] = "E";
    ASSERT_TRUE(SaveSettings());
    // Checked before any event runs: on a slow machine the first clock tick
    // can come while Start() settles, and it is that tick that starts.
    CreateForms(clock_, player_, {"AutoStart"});
    KeyForm->TimerDriven = false;
    EXPECT_TRUE(AutoStart);
    bool shown = false;
    OnNextModal([&](QDialog* d) {
        EXPECT_EQ(d, KeyForm);
        EXPECT_EQ(RunKind, kRunTransmit);
        EXPECT_TRUE(StartImmediately);
        EXPECT_FALSE(AutoStart);
        EXPECT_FALSE(SlowCwForm->isVisible());
        EXPECT_FALSE(SlowCwForm->ClockTimer->isActive());
        shown = true;
        KeyForm->CancelBitBtn->click();
    });
    SlowCwForm->show();
    for (int waited = 0; !shown && waited < 5000; waited += 50)
        QTest::qWait(50);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(SlowCwForm->isVisible());
    EXPECT_TRUE(SlowCwForm->ClockTimer->isActive());
}

TEST_F(MainFormTest, OtherCommandLinesDoNotStart)
{
    Start({"autostart", "now"});
    EXPECT_FALSE(AutoStart);
    QTest::qWait(250); // the watchdog fails the test if a window opens and stays
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MainFormTest, RepeatThatDoesNotFitIsRefused)
{
    Start();
    Texts[1] = std::string(40, 'T'); // well over a minute at 1 s dots
    RepeatCount = 2;
    RepeatInterval = 1;
    bool refused = false;
    OnNextModal([&](QDialog* d) {
        EXPECT_EQ(d, MsgForm);
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Error"));
        EXPECT_EQ(MsgForm->MsgLabel->text(),
                  QStringLiteral("Repeat function : Text duration (including start and stop id.) exceeds repeat time"));
        EXPECT_TRUE(MsgForm->Ok2BitBtn->isVisible());
        refused = true;
        MsgForm->Ok2BitBtn->click();
    });
    Action("StartNow")->trigger();
    EXPECT_TRUE(refused);
    EXPECT_TRUE(SlowCwForm->isVisible());
    EXPECT_TRUE(SlowCwForm->ClockTimer->isActive());

    // A single run has nothing to fit, however long the text.
    RepeatCount = 1;
    bool started = false;
    OnNextModal([&](QDialog* d) {
        started = d == KeyForm;
        KeyForm->CancelBitBtn->click();
    });
    Action("StartNow")->trigger();
    EXPECT_TRUE(started);
}

TEST_F(MainFormTest, StartLaterUsesTheStartTimeDialog)
{
    Start();
    Texts[1] = "E";
    OnNextModal([](QDialog* d) {
        EXPECT_EQ(d, StartTimeForm);
        StartTimeForm->CancelBitBtn->click();
    });
    Action("StartLater")->trigger();
    EXPECT_TRUE(SlowCwForm->isVisible());

    bool started = false;
    OnNextModal([&](QDialog* d) {
        EXPECT_EQ(d, StartTimeForm);
        StartTimeForm->StartEdit->setText(QStringLiteral("142530"));
        OnNextModal([&](QDialog* k) {
            started = k == KeyForm && !StartImmediately && RunKind == kRunTransmit
                && !SlowCwForm->isVisible();
            EXPECT_EQ(k->windowTitle(), QStringLiteral("Vantrel (V4.14) : Transmission will start at 14:25:30"));
            KeyForm->CancelBitBtn->click();
        });
        StartTimeForm->OkBitBtn->click();
    });
    Action("StartLater")->trigger();
    EXPECT_TRUE(started);
}


TEST_F(MainFormTest, TestKeepsTheMainWindowAndQsoHidesIt)
{
    Start();
    bool test = false, qso = false;
    OnNextModal([&](QDialog* d) {
        test = d == KeyForm && RunKind == kRunTest && StartImmediately && SlowCwForm->isVisible()
            && SlowCwForm->ClockTimer->isActive();
        KeyForm->CancelBitBtn->click();
    });
    Action("StartTest")->trigger();
    EXPECT_TRUE(test);
    OnNextModal([&](QDialog* d) {
        qso = d == KeyForm && RunKind == kRunQso && StartImmediately && !SlowCwForm->isVisible()
            && !SlowCwForm->ClockTimer->isActive();
        KeyForm->CancelBitBtn->click();
    });
    Action("StartQso")->trigger();
    EXPECT_TRUE(qso);
    EXPECT_TRUE(SlowCwForm->isVisible());
}

TEST_F(MainFormTest, CancelledTextEditKeepsTheTextAndEmptyIsStored)
{
    Start();
    Texts[3] = "CQ DE TEST";
    OnNextModal([](QDialog* d) {
        EXPECT_EQ(d, TextForm);
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Change Text 3"));
        EXPECT_EQ(TextForm->TextEdit->text(), QStringLiteral("CQ DE TEST"));
        TextForm->TextEdit->selectAll();
        Type("xyz");
        EXPECT_EQ(TextForm->TextEdit->text(), QStringLiteral("XYZ"));
        TextForm->CancelBitBtn->click();
    });
    Action("Text31")->trigger();
    EXPECT_EQ(Texts[3], "CQ DE TEST");
    EXPECT_TRUE(DialogCancelled);

    OnNextModal([](QDialog*) {
        TextForm->TextEdit->clear();
        TextForm->OkBitBtn->click();
    });
    Action("Text31")->trigger();
    EXPECT_EQ(Texts[3], "");
    EXPECT_FALSE(DialogCancelled);
}

TEST_F(MainFormTest, TextDialogRefusesAnInvalidCharacter)
{
    Start();
    Texts[10] = "OLD";
    OnNextModal([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Change Text 10"));
        TextForm->TextEdit->clear();
        Type("ab,c;d");
        EXPECT_EQ(TextForm->DurLabel->text().left(11), QStringLiteral("duration : "));
        bool told = false;
        OnNextModal([&](QDialog* m) {
            told = m == MsgForm && MsgForm->MsgLabel->text() == QStringLiteral(", is an invalid CW character");
            MsgForm->Ok2BitBtn->click();
        });
        TextForm->OkBitBtn->click();
        EXPECT_TRUE(told);
        Settle();
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(TextForm->TextEdit->cursorPosition(), 2);
        d->close(); // the close box is refused too after a failed check
        Settle();
        EXPECT_TRUE(d->isVisible());
        TextForm->CancelBitBtn->click();
    });
    Action("Text101")->trigger();
    EXPECT_EQ(Texts[10], "OLD");
}

TEST_F(MainFormTest, CloseBoxStoresTheFieldUnchecked)
{
    Start();
    OnNextModal([](QDialog* d) {
        TextForm->TextEdit->clear();
        Type("a,b");
        d->close();
    });
    Action("Text11")->trigger();
    EXPECT_EQ(Texts[1], "A,B");
}

TEST_F(MainFormTest, DurationFollowsTheTypingAndTheIdentificationSpeed)
{
    Start();
    OnNextModal([](QDialog*) {
        TextForm->TextEdit->clear();
        EXPECT_EQ(TextForm->DurLabel->text(), QStringLiteral("duration : 0'00\""));
        Type("TTTTTTTTTT"); // 10 dashes at ratio 3, 1 s dots: 40 + 18 s
        EXPECT_EQ(TextForm->DurLabel->text(), QStringLiteral("duration : 0'58\""));
        TextForm->OkBitBtn->click();
    });
    Action("Text21")->trigger();

    StartId.Wpm = StopId.Wpm = 12;
    OnNextModal([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Change Start ID"));
        EXPECT_TRUE(EditingId);
        Type("TTTTTTTTTT"); // at 12 WPM: 10 x 400 + 9 x 200 ms
        EXPECT_EQ(TextForm->DurLabel->text(), QStringLiteral("duration : 0'06\""));
        TextForm->OkBitBtn->click();
    });
    Action("TextStart")->trigger();
    EXPECT_FALSE(EditingId);
    EXPECT_EQ(Texts[11], "TTTTTTTTTT");
    EXPECT_EQ(StartId.Text, "TTTTTTTTTT");

    OnNextModal([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Change Stop ID"));
        Type("de");
        TextForm->OkBitBtn->click();
    });
    Action("TextStop")->trigger();
    EXPECT_EQ(Texts[12], "DE");
    EXPECT_EQ(StopId.Text, "DE");
    EXPECT_EQ(StartId.Text, "TTTTTTTTTT");
}

TEST_F(MainFormTest, UpperCaseEditKeepsTheCaretAndSingleByteCharacters)
{
    UpperCaseEdit edit;
    edit.show();
    QTest::keyClicks(&edit, QStringLiteral("cq"));
    edit.setCursorPosition(1);
    QKeyEvent accented(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("é"));
    QApplication::sendEvent(&edit, &accented);
    EXPECT_EQ(edit.text(), QStringLiteral("CÉQ"));
    EXPECT_EQ(edit.cursorPosition(), 2);
    EXPECT_EQ(UpperLatin1(QStringLiteral("a€b")), QStringLiteral("AB"));
}

TEST_F(MainFormTest, ExitThenCancelKeepsRunning)
{
    Start();
    OnNextModal([](QDialog* d) {
        EXPECT_EQ(d, ExitForm);
        EXPECT_EQ(d->focusWidget(), ExitForm->CancelBitBtn);
        QTest::keyClick(d->focusWidget(), Qt::Key_Return);
    });
    Action("Exit1")->trigger();
    EXPECT_TRUE(DialogCancelled);
    EXPECT_TRUE(SlowCwForm->isVisible());
    EXPECT_FALSE(std::filesystem::exists(kSettingsFileName));

    OnNextModal([](QDialog* d) { QTest::keyClick(d, Qt::Key_Escape); });
    Action("Exit1")->trigger();
    EXPECT_TRUE(SlowCwForm->isVisible());
}

TEST_F(MainFormTest, ExitThenOkSavesTheSettings)
{
    Start();
    DotLength = 120000;
    OnNextModal([](QDialog*) { ExitForm->OkBitBtn->click(); });
    Action("Exit1")->trigger();
    EXPECT_FALSE(SlowCwForm->isVisible());
    const auto file = ReadFile(kSettingsFileName);
    ASSERT_EQ(file.size(), 3104u);
    EXPECT_EQ(file[record::DotLength], 0xC0); // 120000 = 0x0001D4C0
    EXPECT_EQ(file[record::DotLength + 1], 0xD4);
    EXPECT_EQ(file[record::DotLength + 2], 0x01);
}

TEST_F(MainFormTest, ExitCloseBoxEndsAsOk)
{
    Start();
    OnNextModal([](QDialog* d) { d->close(); });
    Action("Exit1")->trigger();
    EXPECT_FALSE(DialogCancelled);
    EXPECT_FALSE(SlowCwForm->isVisible());
    EXPECT_TRUE(std::filesystem::exists(kSettingsFileName));
}

TEST_F(MainFormTest, ClosingTheMainWindowWritesTheFileOnce)
{
    Texts[4] = "FROM FILE";
    TextNumber = 4;
    ASSERT_TRUE(SaveSettings());
    SetDefaultSettings();
    Start();
    EXPECT_EQ(Texts[4], "FROM FILE"); // loaded when the window was created
    EXPECT_EQ(TextNumber, 4);
    Texts[4] = "CHANGED";
    SlowCwForm->close();
    SetDefaultSettings();
    ASSERT_TRUE(LoadSettings());
    EXPECT_EQ(Texts[4], "CHANGED");
    std::filesystem::remove(kSettingsFileName);
    SlowCwForm->close();
    EXPECT_FALSE(std::filesystem::exists(kSettingsFileName));
}

} // namespace
