// QSO mode's edit line, driven through keys as an operator types.
#include "formsfixture.h"

#include "dialogs/textform.h"
#include "widgets/uppercaseedit.h"
#include "morse/duration.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

class QsoLineTest : public FormsTest {
protected:
    // Opens QSO mode from the main window's menu and runs `action` in it.
    void Qso(std::function<void(QDialog*)> action)
    {
        bool ran = false;
        OnNextModal([&](QDialog* d) {
            EXPECT_EQ(d, KeyForm);
            EXPECT_TRUE(QTest::qWaitForWindowActive(d));
            action(d);
            ran = true;
            if (d->isVisible())
                KeyForm->CancelBitBtn->click();
        });
        Action("StartQso")->trigger();
        EXPECT_TRUE(ran);
    }
    static QLineEdit* Edit() { return KeyForm->TextComboBox->lineEdit(); }
    // Keys go where the operator's keys go: to the focused widget.
    static void Key(Qt::Key key)
    {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, key);
    }
};

TEST_F(QsoLineTest, DurationStaysUntilTheNextTransmission)
{
    Start();
    Qso([&](QDialog*) {
        EXPECT_EQ(QApplication::focusWidget(), KeyForm->TextComboBox); // ready for typing
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ab"));
        const QString duration = QStringLiteral("Duration : 0'18\""); // A 8 s, B 10 s
        EXPECT_EQ(KeyForm->StatusLabel->text(), duration);
        Tick(30); // three seconds of the engine's ticks
        EXPECT_EQ(KeyForm->StatusLabel->text(), duration);
        EXPECT_TRUE(KeyForm->StatusLabel->isVisible());
        EXPECT_EQ(KeyForm->StatusLabel->width(), KeyForm->StatusLabel->sizeHint().width());

        KeyForm->TxBitBtn->click();
        Tick(12);
        EXPECT_TRUE(KeyForm->StatusLabel->text().startsWith(QStringLiteral("Status : "))) << KeyForm->StatusLabel->text().toStdString();
        KeyForm->TxBitBtn->click(); // RX
        Tick(3);
        EXPECT_TRUE(KeyForm->TextComboBox->isVisible());
        QTest::keyClicks(KeyForm->TextComboBox, QStringLiteral("C"));
        EXPECT_EQ(KeyForm->StatusLabel->text(), QStringLiteral("Duration : 0'32\"")); // + 3 + C 11 s
        Tick(5);
        EXPECT_EQ(KeyForm->StatusLabel->text(), QStringLiteral("Duration : 0'32\""));
    });
}

// After any other job QSO mode opens with the focus in its line, not on Cancel.
TEST_F(QsoLineTest, OpensWithTheFocusOnTheLineAfterEveryOtherJob)
{
    Start();
    StartImmediately = true;
    for (const std::uint8_t kind : {kRunReleasePort, kRunTest}) {
        RunKind = kind;
        OnNextModal([](QDialog*) { QTimer::singleShot(30, [] { KeyForm->CancelBitBtn->click(); }); });
        KeyForm->exec();
        Qso([kind](QDialog*) { EXPECT_EQ(QApplication::focusWidget(), KeyForm->TextComboBox) << int(kind); });
    }
}

TEST_F(QsoLineTest, ReturnInTheLineKeepsTheWindowAndTheLine)
{
    Start();
    Texts[1] = "CQ";
    Qso([&](QDialog* d) {
        Edit()->end(false);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(" de x"));
        Key(Qt::Key_Return);
        Key(Qt::Key_Enter);
        Settle();
        EXPECT_TRUE(d->isVisible());
        EXPECT_FALSE(DialogCancelled);
        EXPECT_EQ(KeyForm->TextComboBox->currentText(), QStringLiteral("CQ DE X"));
        EXPECT_EQ(KeyForm->TextComboBox->count(), 12); // nothing added to the list either
        EXPECT_TRUE(KeyForm->StatusLabel->text().startsWith(QStringLiteral("Duration : ")));
        // The line is still the one TX sends.
        KeyForm->TxBitBtn->click();
        EXPECT_EQ(KeyForm->Engine().R.Message, "CQ DE X");
        KeyForm->TxBitBtn->click();
        Tick(3);
        // Escape still leaves, as Cancel does.
        KeyForm->TextComboBox->setFocus();
        Key(Qt::Key_Escape);
        Settle();
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_TRUE(DialogCancelled);
}

TEST_F(QsoLineTest, OpeningChecksOnlyWhatTheOperatorSelects)
{
    Start();
    Texts[1] = "AB,C";
    Texts[2] = "TEST";
    TextNumber = 2;
    QString message;
    Qso([&](QDialog*) {
        auto waiting = AnswerMessage(message);
        Settle(50);
        *waiting = false;
        EXPECT_EQ(message, QString()) << "a check ran on a text nobody chose";
        EXPECT_EQ(KeyForm->TextComboBox->currentText(), QStringLiteral("TEST"));

        // Choosing Text 1 from the list checks it.
        waiting = AnswerMessage(message);
        KeyForm->TextComboBox->setFocus();
        KeyForm->TextComboBox->setCurrentIndex(1);
        Key(Qt::Key_Up);
        Settle(50);
        *waiting = false;
        EXPECT_EQ(KeyForm->TextComboBox->currentText(), QStringLiteral("AB,C"));
        EXPECT_EQ(message, QStringLiteral(", is an invalid CW character"));
    });
}

TEST_F(QsoLineTest, LowerCaseTextsFromTheFileBecomeUpperCase)
{
    Start();
    Texts[1] = "cq de x";
    Qso([&](QDialog*) {
        EXPECT_EQ(KeyForm->TextComboBox->currentText(), QStringLiteral("CQ DE X"));
        // Counted as the upper-case text, not as nothing.
        EXPECT_EQ(KeyForm->StatusLabel->text(),
                  QStringLiteral("Duration : ") + FromBytes(DurationText(TextDuration("CQ DE X", 1000, 0, 0))));
        EXPECT_NE(TextDuration("CQ DE X", 1000, 0, 0), 0);
        KeyForm->TxBitBtn->click();
        EXPECT_EQ(KeyForm->Engine().R.Message, "CQ DE X");
        KeyForm->TxBitBtn->click();
        Tick(3);
    });

    // The text dialog shows and stores it in upper case, and OK accepts it.
    Texts[3] = "test";
    QString message;
    OnNextModal([&](QDialog*) {
        EXPECT_EQ(TextForm->TextEdit->text(), QStringLiteral("TEST"));
        EXPECT_EQ(TextForm->DurLabel->text(), QStringLiteral("duration : 0'22\""));
        const auto waiting = AnswerMessage(message);
        TextForm->OkBitBtn->click();
        Settle();
        *waiting = false;
    });
    Action("Text31")->trigger();
    EXPECT_EQ(message, QString());
    EXPECT_FALSE(TextForm->isVisible());
    EXPECT_EQ(Texts[3], "TEST");

    UpperCaseEdit edit;
    edit.setText(QStringLiteral("abc"));
    EXPECT_EQ(edit.text(), QStringLiteral("ABC"));
}

} // namespace
