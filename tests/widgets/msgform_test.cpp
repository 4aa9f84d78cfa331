#include "widgets/form.h"
#include "widgets/msgform.h"
#include "modal.h"
#include "settings/settings.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class MsgFormTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetDefaultSettings();
        MsgForm = new TMsgForm;
    }
    void TearDown() override
    {
        delete MsgForm;
        MsgForm = nullptr;
    }
    // Shows a message, runs `action` on it, and returns DialogCancelled.
    static bool Answer(bool twoButtons, std::function<void(QDialog*)> action)
    {
        DialogCancelled = !DialogCancelled; // a stale answer must not survive
        OnNextModal(std::move(action));
        ShowMessageForm(QStringLiteral("Error"), QStringLiteral("Dot length : invalid number"),
                        ButtonFaceColor(), twoButtons);
        return DialogCancelled;
    }
    static void Key(QDialog* dialog, Qt::Key key)
    {
        QWidget* target = dialog->focusWidget() ? dialog->focusWidget() : dialog;
        QTest::keyClick(target, key);
    }
    ModalWatchdog watchdog_;
};

TEST_F(MsgFormTest, OneButtonLayoutIgnoresEscapeAndClosesOnEnter)
{
    bool checked = false;
    EXPECT_FALSE(Answer(false, [&](QDialog* dialog) {
        EXPECT_EQ(dialog, MsgForm);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Error"));
        EXPECT_EQ(MsgForm->MsgLabel->text(), QStringLiteral("Dot length : invalid number"));
        EXPECT_TRUE(MsgForm->Ok2BitBtn->isVisible());
        EXPECT_FALSE(MsgForm->OkBitBtn->isVisible());
        EXPECT_FALSE(MsgForm->CancelBitBtn->isVisible());
        EXPECT_EQ(MsgForm->Ok2BitBtn->geometry(), QRect(365, 56, 100, 33));
        Key(dialog, Qt::Key_Escape);
        Settle();
        EXPECT_TRUE(dialog->isVisible()) << "Escape closed the one-button message";
        Key(dialog, Qt::Key_Return);
        checked = true;
    }));
    EXPECT_TRUE(checked);
    EXPECT_FALSE(MsgForm->isVisible());
}

TEST_F(MsgFormTest, TwoButtonLayoutAnswers)
{
    EXPECT_TRUE(Answer(true, [](QDialog* d) {
        EXPECT_TRUE(MsgForm->OkBitBtn->isVisible());
        EXPECT_TRUE(MsgForm->CancelBitBtn->isVisible());
        EXPECT_FALSE(MsgForm->Ok2BitBtn->isVisible());
        EXPECT_EQ(MsgForm->CancelBitBtn->geometry(), QRect(424, 56, 100, 33));
        Key(d, Qt::Key_Escape);
    }));
    EXPECT_TRUE(Answer(true, [](QDialog*) { MsgForm->CancelBitBtn->click(); }));
    EXPECT_FALSE(Answer(true, [](QDialog* d) {
        EXPECT_EQ(d->focusWidget(), MsgForm->OkBitBtn);
        Key(d, Qt::Key_Return);
    }));
    EXPECT_FALSE(Answer(true, [](QDialog*) { MsgForm->OkBitBtn->click(); }));
    EXPECT_FALSE(Answer(true, [](QDialog* d) { d->close(); }));
}

TEST_F(MsgFormTest, ColourAndTextAreSetOnEveryCall)
{
    OnNextModal([](QDialog* d) {
        EXPECT_EQ(d->palette().color(QPalette::Window), QColor(Qt::red));
        EXPECT_EQ(MsgForm->MsgLabel->palette().color(QPalette::Window), QColor(Qt::red));
        d->close();
    });
    ShowMessageForm(QStringLiteral("---  WARNING  ---"), QStringLiteral("beware"), Qt::red, true);
    const QString longText(300, QLatin1Char('W'));
    OnNextModal([&](QDialog* d) {
        EXPECT_EQ(d->palette().color(QPalette::Window), ButtonFaceColor());
        EXPECT_EQ(MsgForm->MsgLabel->text(), longText);
        // Wider than the design, as wide as the screen allows, and wrapped.
        EXPECT_GT(MsgForm->MsgLabel->width(), 804);
        EXPECT_LE(d->width(), ScreenRoom());
        EXPECT_TRUE(MsgForm->MsgLabel->wordWrap());
        EXPECT_TRUE(d->rect().contains(MsgForm->MsgLabel->geometry()));
        d->close();
    });
    ShowMessageForm(QStringLiteral("Error"), longText, ButtonFaceColor(), false);
}

} // namespace
