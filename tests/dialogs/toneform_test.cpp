#include "dialogs/toneform.h"

#include "widgets/uppercaseedit.h"
#include "widgets/radiogroupbox.h"
#include "dialogtest.h"
#include "morse/morse.h"
#include "settings/settings.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

class ToneFormTest : public DialogTest {
protected:
    void TearDown() override
    {
        DecimalSeparator = '.';
        DialogTest::TearDown();
    }
    // Types the four numbers and presses OK.
    static void Enter(const char* tone, const char* dot, const char* dash, const char* level)
    {
        Retype(ToneForm->ToneEdit, QString::fromLatin1(tone));
        Retype(ToneForm->DotEdit, QString::fromLatin1(dot));
        Retype(ToneForm->DashEdit, QString::fromLatin1(dash));
        Retype(ToneForm->LevelEdit, QString::fromLatin1(level));
        Click(ToneForm->OkBitBtn);
    }
};

TEST_F(ToneFormTest, ShowsAndReadsTheProgramsDecimalSeparatorAndRoundsToTenths)
{
    DecimalSeparator = ',';
    SidetoneFreq = 800;
    DotToneFreq = 400.04;
    DashToneFreq = 404;
    SoundLevel = 50;
    Open("SetupSound", [this](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Sound"));
        EXPECT_EQ(ToneForm->ToneEdit->text(), QStringLiteral("800,0"));
        EXPECT_EQ(ToneForm->DotEdit->text(), QStringLiteral("400,0"));
        EXPECT_EQ(ToneForm->DashEdit->text(), QStringLiteral("404,0"));
        EXPECT_EQ(ToneForm->LevelEdit->text(), QStringLiteral("50,0"));
        ExpectTextsWholeAndNamed(d);
        MessageLog log;
        Enter("800.5", "1000", "1004", "50"); // a point is not this locale's separator
        EXPECT_EQ(log.shown, std::vector<std::string>{"Error: Tone : invalid number"});
        EXPECT_EQ(SidetoneFreq, 800.0);
        EXPECT_TRUE(d->isVisible());
        Enter("800,04", " 1000,06 ", "1004,25", "50,75");
        EXPECT_EQ(ToneForm->DotEdit->text(), QStringLiteral("1000,06")); // trimmed in place
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(SidetoneFreq, 800.0);
    EXPECT_EQ(DotToneFreq, 1000.1);
    EXPECT_EQ(DashToneFreq, 1004.2); // halves go to the even tenth
    EXPECT_EQ(SoundLevel, 50.8);
    Open("SetupSound", [](QDialog* d) {
        EXPECT_EQ(ToneForm->DotEdit->text(), QStringLiteral("1000,1"));
        Press(d, Qt::Key_Escape);
    });
}

TEST_F(ToneFormTest, RangesOfEachFieldAndTheOrderOfTheChecks)
{
    MessageLog log;
    Open("SetupSound", [&](QDialog* d) {
        Enter("20", "20000", "20", "100");
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(SidetoneFreq, 20.0);
    EXPECT_EQ(DotToneFreq, 20000.0);
    EXPECT_EQ(SoundLevel, 100.0);
    Open("SetupSound", [&](QDialog* d) {
        Enter("19.99", "1000", "1004", "0");
        EXPECT_EQ(log.shown, std::vector<std::string>{"Error: Tone : invalid number"});
        EXPECT_EQ(d->focusWidget(), ToneForm->ToneEdit);
        log.shown.clear();
        Enter("20000.01", "1000", "1004", "-1");
        EXPECT_EQ(log.shown, (std::vector<std::string>{"Error: Tone : invalid number",
                                                       "Error: Soundcard level : invalid number"}));
        EXPECT_EQ(d->focusWidget(), ToneForm->LevelEdit);
        log.shown.clear();
        Enter("x", "ab", "19", "100.1");
        EXPECT_EQ(log.shown, (std::vector<std::string>{"Error: Dot : invalid number", "Error: Dash : invalid number",
                                                       "Error: Tone : invalid number",
                                                       "Error: Soundcard level : invalid number"}));
        log.shown.clear();
        Click(ToneForm->DfcwRadioGroup->Item(0));
        Enter("700", "ab", "1004", "0");
        EXPECT_EQ(log.shown, std::vector<std::string>{"Error: Dot : invalid number"});
        EXPECT_EQ(d->focusWidget(), ToneForm->DotEdit);
        EXPECT_TRUE(d->isVisible());
        Press(d, Qt::Key_Escape);
    });
    // Nothing of a refused OK is stored, not even the radio groups.
    EXPECT_EQ(SidetoneFreq, 20.0);
    EXPECT_EQ(SoundLevel, 100.0);
    EXPECT_FALSE(DfcwToneOn);
}

TEST_F(ToneFormTest, TheSpeakerAsSourceTurnsTheAlarmOff)
{
    AlarmTime = 30;
    UseSpeaker = false;
    MessageLog log;
    Open("SetupSound", [](QDialog*) { Click(ToneForm->OkBitBtn); });
    EXPECT_EQ(AlarmTime, 30);
    EXPECT_TRUE(log.shown.empty());
    Open("SetupSound", [](QDialog*) {
        EXPECT_EQ(ToneForm->SourceRadioGroup->ItemIndex(), 1);
        Click(ToneForm->SourceRadioGroup->Item(0));
        Click(ToneForm->CwRadioGroup->Item(1));
        Click(ToneForm->OkBitBtn);
    });
    EXPECT_EQ(log.shown, std::vector<std::string>{"Warning: Alarm disabled"});
    EXPECT_EQ(AlarmTime, 0);
    EXPECT_TRUE(UseSpeaker);
    EXPECT_FALSE(SidetoneOn);
}

TEST_F(ToneFormTest, TabEntersEachRadioGroupAtItsChoiceAndArrowsMoveIt)
{
    UseSpeaker = true;
    DfcwToneOn = false;
    Open("SetupSound", [](QDialog* d) {
        EXPECT_EQ(d->focusWidget(), ToneForm->CwRadioGroup->Item(1));
        Press(d, Qt::Key_Tab);
        EXPECT_EQ(d->focusWidget(), ToneForm->ToneEdit);
        Press(d, Qt::Key_Tab);
        EXPECT_EQ(d->focusWidget(), ToneForm->DfcwRadioGroup->Item(1));
        Press(d, Qt::Key_Left);
        EXPECT_EQ(ToneForm->DfcwRadioGroup->ItemIndex(), 0);
        Press(d, Qt::Key_Tab);
        EXPECT_EQ(d->focusWidget(), ToneForm->DotEdit);
        for (int i = 0; i < 3; ++i)
            Press(d, Qt::Key_Tab);
        EXPECT_EQ(d->focusWidget(), ToneForm->SourceRadioGroup->Item(0));
        Press(d, Qt::Key_Right);
        Press(d, Qt::Key_Tab);
        EXPECT_EQ(d->focusWidget(), ToneForm->OkBitBtn);
        Press(d, Qt::Key_Backtab);
        EXPECT_EQ(d->focusWidget(), ToneForm->SourceRadioGroup->Item(1));
        Press(d, Qt::Key_Return);
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_TRUE(DfcwToneOn);
    EXPECT_FALSE(UseSpeaker);
}

TEST_F(ToneFormTest, TheCloseBoxWaitsForOkOrCancelAndCancelStoresNothing)
{
    Open("SetupSound", [](QDialog* d) {
        d->close();
        Settle();
        EXPECT_TRUE(d->isVisible());
        Retype(ToneForm->ToneEdit, QStringLiteral("900"));
        Click(ToneForm->SourceRadioGroup->Item(1));
        Click(ToneForm->CancelBitBtn);
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(SidetoneFreq, 800.0);
    EXPECT_TRUE(UseSpeaker);
}

} // namespace
