#include "dialogs/repeatform.h"

#include "widgets/uppercaseedit.h"
#include "dialogtest.h"
#include "settings/settings.h"

#include <QApplication>
#include <QPushButton>

namespace {

using RepeatFormTest = DialogTest;

TEST_F(RepeatFormTest, ShowsTheSettingsAndStoresBoundsWithReturnAndClick)
{
    RepeatCount = 3;
    RepeatInterval = 10;
    Open("SetupRepeat", [this](QDialog* d) {
        EXPECT_EQ(d, RepeatForm);
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Repeat text"));
        EXPECT_EQ(RepeatForm->RepeatEdit->text(), QStringLiteral("3"));
        EXPECT_EQ(RepeatForm->IntervalEdit->text(), QStringLiteral("10"));
        EXPECT_EQ(d->focusWidget(), RepeatForm->RepeatEdit);
        ExpectTextsWholeAndNamed(d);
        Retype(RepeatForm->RepeatEdit, QStringLiteral("0"));
        Retype(RepeatForm->IntervalEdit, QStringLiteral("0"));
        Press(d, Qt::Key_Return);
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(RepeatCount, 0);
    EXPECT_EQ(RepeatInterval, 0);

    Open("SetupRepeat", [this](QDialog*) {
        Retype(RepeatForm->RepeatEdit, QStringLiteral("99"));
        Retype(RepeatForm->IntervalEdit, QStringLiteral("255"));
        Click(RepeatForm->OkBitBtn);
    });
    EXPECT_EQ(RepeatCount, 99);
    EXPECT_EQ(RepeatInterval, 255);
}

// A number a byte cannot hold is refused, not cut to its low eight bits.
TEST_F(RepeatFormTest, RefusesNumbersOutsideAByteEachFieldOnItsOwn)
{
    RepeatCount = 5;
    RepeatInterval = 7;
    MessageLog log;
    Open("SetupRepeat", [&](QDialog* d) {
        Retype(RepeatForm->RepeatEdit, QStringLiteral("300"));
        Retype(RepeatForm->IntervalEdit, QStringLiteral("20"));
        Click(RepeatForm->OkBitBtn);
        EXPECT_EQ(log.shown, std::vector<std::string>{"Error: Repeat text : invalid number"});
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(RepeatCount, 5);
        EXPECT_EQ(RepeatInterval, 20); // the valid field is stored anyway
        EXPECT_EQ(d->focusWidget(), RepeatForm->RepeatEdit);

        log.shown.clear();
        Retype(RepeatForm->RepeatEdit, QStringLiteral("256"));
        Retype(RepeatForm->IntervalEdit, QStringLiteral("-1"));
        Click(RepeatForm->OkBitBtn);
        EXPECT_EQ(log.shown, (std::vector<std::string>{"Error: Repeat text : invalid number",
                                                       "Error: Interval : invalid number"}));
        EXPECT_EQ(RepeatCount, 5);
        EXPECT_EQ(RepeatInterval, 20);
        EXPECT_EQ(d->focusWidget(), RepeatForm->IntervalEdit);
        d->close(); // the close box is refused after a failed check
        Settle();
        EXPECT_TRUE(d->isVisible());
        Press(d, Qt::Key_Escape);
    });
    // Cancel puts both back, also what the failed OK stored.
    EXPECT_EQ(RepeatCount, 5);
    EXPECT_EQ(RepeatInterval, 7);
}

TEST_F(RepeatFormTest, LettersAndSpacesInTheFields)
{
    RepeatCount = 2;
    RepeatInterval = 4;
    MessageLog log;
    Open("SetupRepeat", [&](QDialog* d) {
        Retype(RepeatForm->RepeatEdit, QStringLiteral("1a"));
        EXPECT_EQ(RepeatForm->RepeatEdit->text(), QStringLiteral("1A"));
        Retype(RepeatForm->IntervalEdit, QStringLiteral(" 15"));
        Click(RepeatForm->OkBitBtn);
        EXPECT_EQ(log.shown, std::vector<std::string>{"Error: Repeat text : invalid number"});
        EXPECT_EQ(RepeatInterval, 15); // a leading space is skipped
        log.shown.clear();
        Retype(RepeatForm->RepeatEdit, QStringLiteral("12 "));
        Click(RepeatForm->OkBitBtn); // a trailing space makes it invalid
        EXPECT_EQ(log.shown, std::vector<std::string>{"Error: Repeat text : invalid number"});
        Click(RepeatForm->CancelBitBtn);
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(RepeatCount, 2);
    EXPECT_EQ(RepeatInterval, 4);

    log.shown.clear();
    Open("SetupRepeat", [&](QDialog* d) {
        Retype(RepeatForm->RepeatEdit, QStringLiteral(" 12"));
        Retype(RepeatForm->IntervalEdit, QStringLiteral("123456")); // at most five characters
        EXPECT_EQ(RepeatForm->IntervalEdit->text(), QStringLiteral("12345"));
        Retype(RepeatForm->IntervalEdit, QStringLiteral("60"));
        Click(RepeatForm->OkBitBtn);
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(RepeatCount, 12);
    EXPECT_EQ(RepeatInterval, 60);
    EXPECT_TRUE(log.shown.empty());
}

} // namespace
