#include "dialogs/warnform.h"

#include "dialogtest.h"
#include "settings/settings.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

using WarnFormTest = DialogTest;

TEST_F(WarnFormTest, AnAlarmOnTheSpeakerTurnsTheSidetoneOff)
{
    UseSpeaker = true;
    SidetoneOn = true;
    AlarmTime = 0;
    MessageLog log;
    Open("SetupWarn", [](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Alarm time"));
        EXPECT_EQ(WarnForm->WarnEdit->text(), QStringLiteral("0"));
        ExpectTextsWholeAndNamed(d);
        Retype(WarnForm->WarnEdit, QStringLiteral("1234")); // at most three characters
        EXPECT_EQ(WarnForm->WarnEdit->text(), QStringLiteral("123"));
        WarnForm->WarnEdit->backspace();
        WarnForm->WarnEdit->insert(QStringLiteral("456")); // a paste keeps what fits
        EXPECT_EQ(WarnForm->WarnEdit->text(), QStringLiteral("124"));
        Retype(WarnForm->WarnEdit, QStringLiteral("30"));
        Press(d, Qt::Key_Return);
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(log.shown, std::vector<std::string>{"Warning: Sidetone disabled"});
    EXPECT_EQ(AlarmTime, 30);
    EXPECT_FALSE(SidetoneOn);

    log.shown.clear();
    SidetoneOn = true;
    Open("SetupWarn", [](QDialog*) {
        Retype(WarnForm->WarnEdit, QString());
        Click(WarnForm->OkBitBtn);
    });
    EXPECT_EQ(AlarmTime, 0);
    Open("SetupWarn", [](QDialog*) {
        Retype(WarnForm->WarnEdit, QStringLiteral("0"));
        Click(WarnForm->OkBitBtn);
    });
    SidetoneOn = false;
    Open("SetupWarn", [](QDialog*) {
        Retype(WarnForm->WarnEdit, QStringLiteral("45"));
        Click(WarnForm->OkBitBtn);
    });
    EXPECT_EQ(AlarmTime, 45);
    EXPECT_TRUE(log.shown.empty());
}

TEST_F(WarnFormTest, RefusesLettersAndNegativeNumbersAndTrimsBlanks)
{
    AlarmTime = 20;
    MessageLog log;
    Open("SetupWarn", [&](QDialog* d) {
        Retype(WarnForm->WarnEdit, QStringLiteral("12a"));
        Click(WarnForm->OkBitBtn);
        EXPECT_EQ(log.shown, std::vector<std::string>{"Error: Alarm time : invalid number"});
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(d->focusWidget(), WarnForm->WarnEdit);
        // A negative number would arm the alarm hours before the end.
        log.shown.clear();
        Retype(WarnForm->WarnEdit, QStringLiteral("-5"));
        Click(WarnForm->OkBitBtn);
        EXPECT_EQ(log.shown, std::vector<std::string>{"Error: Alarm time : invalid number"});
        EXPECT_EQ(AlarmTime, 20);
        d->close(); // refused after a failed check
        Settle();
        EXPECT_TRUE(d->isVisible());
        Retype(WarnForm->WarnEdit, QStringLiteral(" 45"));
        Click(WarnForm->OkBitBtn);
        EXPECT_EQ(WarnForm->WarnEdit->text(), QStringLiteral("45"));
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(AlarmTime, 45);
}

TEST_F(WarnFormTest, CancelAndEscapePutTheAlarmTimeBack)
{
    AlarmTime = 60;
    Open("SetupWarn", [](QDialog* d) {
        Retype(WarnForm->WarnEdit, QStringLiteral("90"));
        Click(WarnForm->CancelBitBtn);
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(AlarmTime, 60);
    Open("SetupWarn", [](QDialog* d) {
        d->close(); // nothing failed: the close box closes without storing
        Settle();
        EXPECT_FALSE(d->isVisible());
    });
    Open("SetupWarn", [](QDialog* d) {
        Retype(WarnForm->WarnEdit, QStringLiteral("90"));
        Press(d, Qt::Key_Escape);
    });
    EXPECT_EQ(AlarmTime, 60);
}

// Every field with a character limit shows a stored value whole; typing
// cannot make it longer.
TEST_F(WarnFormTest, StoredValuesShowWholeInEveryLimitedField)
{
    AlarmTime = 1234;
    DotLength = KeyGap = 1234567000;
    for (const auto& [action, shown] : {std::pair{"SetupWarn", "1234"}, {"SetupSpeed", "1234567"}, {"SetupDfcw", "1234567"}})
        Open(action, [&](QDialog* d) {
            QLineEdit* field = d->findChild<QLineEdit*>();
            field->end(false);
            QTest::keyClick(field, Qt::Key_9);
            EXPECT_EQ(field->text(), QString::fromLatin1(shown)) << action;
            Press(d, Qt::Key_Escape);
        });
    Open("SetupWarn", [](QDialog*) { Click(WarnForm->OkBitBtn); });
    EXPECT_EQ(AlarmTime, 1234); // OK without a change keeps it
}

} // namespace
