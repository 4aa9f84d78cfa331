// The text selection, mode, DFCW, QSK and CW identification dialogs driven
// offscreen through clicks and keys, one group of cases per dialog.
#include "app/forms.h"
#include "app/keyform.h"
#include "widgets/msgform.h"
#include "dialogs/comform.h"
#include "dialogs/cwidform.h"
#include "dialogs/fskform.h"
#include "dialogs/qskform.h"
#include "widgets/radiogroupbox.h"
#include "dialogs/ratioform.h"
#include "dialogs/seltextform.h"
#include "modal.h"
#include "morse/duration.h"
#include "settings/settings.h"
#include "support/fakeclock.h"
#include "support/tempdir.h"
#include "tonegen/player.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

// Clicks a push button in its middle, a radio button or check box on its
// indicator (its middle may lie beyond its text, where a click does nothing).
void Click(QAbstractButton* button)
{
    const bool push = qobject_cast<QPushButton*>(button) != nullptr;
    QTest::mouseClick(button, Qt::LeftButton, {}, push ? button->rect().center() : QPoint(8, button->height() / 2));
}

class SetupFormTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        CreateForms(clock_, player_, {});
        KeyForm->TimerDriven = false;
    }
    void TearDown() override
    {
        DestroyForms();
        TempDirTest::TearDown();
    }
    // Shows `form` modally while `act` drives it; `act` must close it.
    static void Show(QDialog* form, std::function<void()> act)
    {
        OnNextModal([act](QDialog*) { act(); });
        form->exec();
        EXPECT_FALSE(form->isVisible());
    }
    // Presses `ok` and returns the error message it brought up, if any.
    static QString Press(QAbstractButton* ok)
    {
        QString message;
        const auto waiting = OnNextModal([&](QDialog*) {
            message = MsgForm->windowTitle() + QStringLiteral(": ") + MsgForm->MsgLabel->text();
            Click(MsgForm->Ok2BitBtn);
        });
        Click(ok);
        *waiting = false; // no message came
        Settle(5);
        return message;
    }

    FakeClock clock_;
    SilentPlayer player_;
    ModalWatchdog watchdog_;
};

// ---- Every dialog -------------------------------------------------------------

TEST_F(SetupFormTest, EveryTextIsShownWhole)
{
    Texts[1] = std::string(39, 'E');
    const std::vector<std::pair<QDialog*, QString>> forms{
        {ComForm, QStringLiteral("Select port")}, {SelTextForm, QStringLiteral("Select Text")},
        {RatioForm, QStringLiteral("Mode")},      {FSKForm, QStringLiteral("DFCW")},
        {QskForm, QStringLiteral("QSK")},         {CwIdForm, QStringLiteral("CW identification")}};
    for (const auto& [form, caption] : forms) {
        Show(form, [form = form, caption = caption] {
            EXPECT_EQ(form->windowTitle(), caption);
            for (QWidget* w : form->findChildren<QWidget*>()) {
                if (!w->isVisible() || (!qobject_cast<QLabel*>(w) && !qobject_cast<QAbstractButton*>(w)))
                    continue;
                EXPECT_GE(w->width(), w->sizeHint().width()) << caption.toStdString() << ": " << w->metaObject()->className() << ' ' << w->objectName().toStdString();
                EXPECT_TRUE(form->rect().contains(QRect(w->mapTo(form, QPoint()), w->size())))
                    << caption.toStdString();
            }
            QTest::keyClick(form, Qt::Key_Escape);
        });
    }
}

TEST_F(SetupFormTest, TabFollowsTheControlsInTheirOrder)
{
    Show(FSKForm, [] {
        std::vector<QWidget*> seen{FSKForm->focusWidget()};
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(FSKForm->focusWidget(), Qt::Key_Tab);
            seen.push_back(FSKForm->focusWidget());
        }
        EXPECT_EQ(seen, (std::vector<QWidget*>{FSKForm->FskRadioGroup->Item(0), FSKForm->GapEdit, FSKForm->OmmitBox,
                                              FSKForm->OkBitBtn, FSKForm->CancelBitBtn}));
        QTest::keyClick(FSKForm, Qt::Key_Escape);
    });
    Show(ComForm, [] {
        std::vector<QWidget*> seen{ComForm->focusWidget()};
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(ComForm->focusWidget(), Qt::Key_Tab);
            seen.push_back(ComForm->focusWidget());
        }
        EXPECT_EQ(seen, (std::vector<QWidget*>{ComForm->SelectGroup->Item(0), ComForm->ComGroup->Item(0),
                                              ComForm->LptGroup->Item(0), ComForm->OkBitBtn, ComForm->CancelBitBtn}));
        QTest::keyClick(ComForm, Qt::Key_Escape);
    });
}

// ---- Text selection -------------------------------------------------------------

TEST_F(SetupFormTest, SelectionRowsShowTextsAndDurations)
{
    Texts[2] = std::string(39, 'T');
    Texts[3] = std::string(36, 'E') + "ABCD";
    Texts[4] = "";
    DotLength = 3000;
    TextNumber = 5;
    Show(SelTextForm, [] {
        EXPECT_TRUE(SelTextForm->TRadioButton[4]->isChecked());
        EXPECT_EQ(SelTextForm->TextLabel[1]->text(), QString(39, QLatin1Char('T')));
        EXPECT_EQ(SelTextForm->TextLabel[2]->text(), QString(36, QLatin1Char('E')) + QStringLiteral(" ..."));
        EXPECT_EQ(SelTextForm->DurLabel[3]->text(), QStringLiteral("(0'00\")"));
        const std::string duration = DurationText(TextDuration(Texts[2], 3000, KeyGap, 0));
        EXPECT_EQ(SelTextForm->DurLabel[1]->text(), QStringLiteral("(") + QString::fromStdString(duration) + QStringLiteral(")"));
        EXPECT_NE(duration, "0'00\"");
        EXPECT_EQ(SelTextForm->TLabel[5]->text(), QStringLiteral("Text6  :"));
        EXPECT_EQ(SelTextForm->TLabel[9]->text(), QStringLiteral("Text 10 :"));
        EXPECT_EQ(SelTextForm->TextLabel[6]->toolTip(), QStringLiteral("Click here to select Text 7"));
        EXPECT_EQ(SelTextForm->focusWidget(), SelTextForm->OkBitBtn);
        QTest::keyClick(SelTextForm, Qt::Key_Escape);
    });
    EXPECT_TRUE(DialogCancelled);
    EXPECT_EQ(TextNumber, 5);
}

TEST_F(SetupFormTest, SelectionByCaptionTextOrButton)
{
    TextNumber = 1;
    Show(SelTextForm, [] {
        Click(SelTextForm->TRadioButton[8]);
        QTest::mouseClick(SelTextForm->TLabel[3], Qt::LeftButton); // "Text 4  :"
        EXPECT_TRUE(SelTextForm->TRadioButton[3]->isChecked());
        QTest::mouseClick(SelTextForm->TextLabel[6], Qt::LeftButton);
        EXPECT_TRUE(SelTextForm->TRadioButton[6]->isChecked());
        QTest::keyClick(SelTextForm, Qt::Key_Return); // OK is the default button
    });
    EXPECT_EQ(TextNumber, 7);
    EXPECT_FALSE(DialogCancelled);
    Show(SelTextForm, [] {
        Click(SelTextForm->TRadioButton[1]);
        Click(SelTextForm->CancelBitBtn);
    });
    EXPECT_EQ(TextNumber, 7);
    EXPECT_TRUE(DialogCancelled);
}

TEST_F(SetupFormTest, SelectionOfAnUnknownNumberKeepsIt)
{
    TextNumber = 0; // from an edited settings file; no button was ever checked
    Show(SelTextForm, [] { Click(SelTextForm->OkBitBtn); });
    EXPECT_EQ(TextNumber, 0);
    TextNumber = 3;
    Show(SelTextForm, [] { Click(SelTextForm->OkBitBtn); });
    TextNumber = 12;
    Show(SelTextForm, [] {
        EXPECT_TRUE(SelTextForm->TRadioButton[2]->isChecked()); // as last left
        Click(SelTextForm->OkBitBtn);
    });
    EXPECT_EQ(TextNumber, 3);
}

// ---- Mode ---------------------------------------------------------------------

TEST_F(SetupFormTest, ModeItemsStoreTheirPairsAndNothingElse)
{
    const std::vector<std::pair<bool, int>> pairs{{false, 3}, {false, 2}, {true, 1}, {true, 2}, {true, 0}};
    KeyGap = 2000;
    FskNormal = false;
    for (int i = 0; i < 5; ++i) {
        Show(RatioForm, [i] {
            Click(RatioForm->RatioRadioGroup->Item(i));
            Click(RatioForm->OkBitBtn);
        });
        EXPECT_EQ(DfcwMode, pairs[i].first) << i;
        EXPECT_EQ(RatioCode, pairs[i].second) << i;
        Show(RatioForm, [i] {
            EXPECT_EQ(RatioForm->RatioRadioGroup->ItemIndex(), i);
            Click(RatioForm->RatioRadioGroup->Item((i + 1) % 5));
            Click(RatioForm->CancelBitBtn); // stores nothing
        });
        EXPECT_EQ(RatioCode, pairs[i].second) << i;
    }
    EXPECT_EQ(KeyGap, 2000);
    EXPECT_FALSE(FskNormal);
    EXPECT_EQ(RatioForm->RatioRadioGroup->Item(4)->text(), QStringLiteral("DFCW, half space"));
}

TEST_F(SetupFormTest, ModeOfAnUnknownPairKeepsTheLastSelection)
{
    DfcwMode = true;
    RatioCode = 2;
    Show(RatioForm, [] { Click(RatioForm->OkBitBtn); });
    DfcwMode = false;
    RatioCode = 1; // QRSS with code 1: no item
    Show(RatioForm, [] {
        EXPECT_EQ(RatioForm->RatioRadioGroup->ItemIndex(), 3);
        QTest::keyClick(RatioForm, Qt::Key_Return);
    });
    EXPECT_TRUE(DfcwMode);
    EXPECT_EQ(RatioCode, 2);
}

// ---- DFCW -----------------------------------------------------------------------

TEST_F(SetupFormTest, DfcwStoresPolarityAndOmissionEvenWhenTheGapFails)
{
    FskNormal = true;
    OmitKeyGaps = false;
    KeyGap = 4000;
    Show(FSKForm, [] {
        EXPECT_EQ(FSKForm->FskRadioGroup->ItemIndex(), 0);
        EXPECT_FALSE(FSKForm->OmmitBox->isChecked());
        EXPECT_EQ(FSKForm->GapEdit->text(), QStringLiteral("4"));
        Click(FSKForm->FskRadioGroup->Item(1));
        Click(FSKForm->OmmitBox);
        FSKForm->GapEdit->selectAll();
        QTest::keyClicks(FSKForm->GapEdit, QStringLiteral("ab"));
        EXPECT_EQ(Press(FSKForm->OkBitBtn), QStringLiteral("Error: Key gap : invalid number"));
        EXPECT_TRUE(FSKForm->isVisible());
        EXPECT_EQ(FSKForm->focusWidget(), FSKForm->GapEdit);
        FSKForm->close(); // refused after a failed check
        Settle(5);
        EXPECT_TRUE(FSKForm->isVisible());
        Click(FSKForm->CancelBitBtn);
    });
    EXPECT_FALSE(FskNormal);
    EXPECT_TRUE(OmitKeyGaps);
    EXPECT_EQ(KeyGap, 4000);
}

TEST_F(SetupFormTest, DfcwKeyGapRange)
{
    KeyGap = 4000;
    const auto gap = [](const char* text) {
        QString message;
        Show(FSKForm, [&] {
            FSKForm->GapEdit->setText(QString::fromLatin1(text));
            message = Press(FSKForm->OkBitBtn);
            if (FSKForm->isVisible())
                Click(FSKForm->CancelBitBtn);
        });
        return message;
    };
    for (const char* bad : {"3600", "-1", "1.5", "1 2"})
        EXPECT_EQ(gap(bad), QStringLiteral("Error: Key gap : invalid number")) << bad;
    EXPECT_EQ(KeyGap, 4000);
    EXPECT_EQ(gap(""), QString()); // empty keeps the key gap
    EXPECT_EQ(KeyGap, 4000);
    EXPECT_EQ(gap("  7  "), QString());
    EXPECT_EQ(FSKForm->GapEdit->text(), QStringLiteral("7"));
    EXPECT_EQ(KeyGap, 7000);
    EXPECT_EQ(gap("3599"), QString());
    EXPECT_EQ(KeyGap, 3599000);
    EXPECT_EQ(gap("0"), QString());
    EXPECT_EQ(KeyGap, 0);
}

// ---- QSK -------------------------------------------------------------------------

TEST_F(SetupFormTest, QskDelaysFollowTheQskChoice)
{
    QskMode = 0;
    RxDelay = 200; // no item: shown as "0 ms"
    TxDelay = 300;
    Show(QskForm, [] {
        EXPECT_FALSE(QskForm->RxRadioGroup->isEnabled());
        EXPECT_FALSE(QskForm->TxRadioGroup->isEnabled());
        EXPECT_EQ(QskForm->RxRadioGroup->ItemIndex(), 0);
        EXPECT_EQ(QskForm->TxRadioGroup->ItemIndex(), 2);
        Click(QskForm->QskRadioGroup->Item(2)); // "between characters"
        EXPECT_TRUE(QskForm->RxRadioGroup->isEnabled());
        EXPECT_TRUE(QskForm->TxRadioGroup->isEnabled());
        Click(QskForm->RxRadioGroup->Item(3));
        Click(QskForm->OkBitBtn);
    });
    EXPECT_EQ(QskMode, 2);
    EXPECT_EQ(RxDelay, 1000);
    EXPECT_EQ(TxDelay, 300);

    // "disabled" still stores the delays shown.
    Show(QskForm, [] {
        Click(QskForm->TxRadioGroup->Item(1));
        Click(QskForm->QskRadioGroup->Item(0));
        EXPECT_FALSE(QskForm->TxRadioGroup->isEnabled());
        Click(QskForm->OkBitBtn);
    });
    EXPECT_EQ(QskMode, 0);
    EXPECT_EQ(TxDelay, 100);
    EXPECT_EQ(RxDelay, 1000);

    // By keys: the arrow moves to "between elements", which enables the delays too.
    Show(QskForm, [] {
        QTest::keyClick(QskForm->focusWidget(), Qt::Key_Down);
        EXPECT_EQ(QskForm->QskRadioGroup->ItemIndex(), 1);
        EXPECT_TRUE(QskForm->RxRadioGroup->isEnabled());
        QTest::keyClick(QskForm, Qt::Key_Return);
    });
    EXPECT_EQ(QskMode, 1);

    // A screen reader's toggle of "between characters" enables them as a click does.
    QskMode = 0;
    Show(QskForm, [] {
        QAccessible::queryAccessibleInterface(QskForm->QskRadioGroup->Item(2))
            ->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        EXPECT_TRUE(QskForm->RxRadioGroup->isEnabled() && QskForm->TxRadioGroup->isEnabled());
        Click(QskForm->OkBitBtn);
    });
}

TEST_F(SetupFormTest, QskCancelAndCloseBoxStoreNothing)
{
    QskMode = 9; // from an edited settings file: the last item
    RxDelay = 100;
    Show(QskForm, [] {
        EXPECT_EQ(QskForm->QskRadioGroup->ItemIndex(), 3);
        EXPECT_EQ(QskForm->RxRadioGroup->ItemIndex(), 1);
        Click(QskForm->QskRadioGroup->Item(1));
        Click(QskForm->CancelBitBtn);
    });
    Show(QskForm, [] {
        Click(QskForm->RxRadioGroup->Item(2));
        QskForm->close(); // the close box always works
    });
    EXPECT_EQ(QskMode, 9);
    EXPECT_EQ(RxDelay, 100);
}

// ---- CW identification --------------------------------------------------------------

TEST_F(SetupFormTest, IdentificationSpeedIsSharedAndEachIdSwitched)
{
    StartId = {"START", false, 6};
    StopId = {"STOP", true, 6};
    Show(CwIdForm, [] {
        EXPECT_EQ(CwIdForm->SpeedRadioGroup->ItemIndex(), 0);
        EXPECT_EQ(CwIdForm->StartRadioGroup->ItemIndex(), 1);
        EXPECT_EQ(CwIdForm->StopRadioGroup->ItemIndex(), 0);
        Click(CwIdForm->SpeedRadioGroup->Item(2)); // "12 WPM"
        Click(CwIdForm->StartRadioGroup->Item(0));
        Click(CwIdForm->StopRadioGroup->Item(1));
        Click(CwIdForm->OK);
    });
    EXPECT_EQ(StartId.Wpm, 12);
    EXPECT_EQ(StopId.Wpm, 12);
    EXPECT_TRUE(StartId.Enabled);
    EXPECT_FALSE(StopId.Enabled);
    EXPECT_EQ(StartId.Text, "START");
}

TEST_F(SetupFormTest, IdentificationClosesOnlyByItsButtons)
{
    StartId.Wpm = 15;
    Show(CwIdForm, [] { Click(CwIdForm->OK); });
    StartId.Wpm = 8; // no item: the selection stays as last left
    StopId.Wpm = 9;
    StartId.Enabled = true;
    Show(CwIdForm, [] {
        EXPECT_EQ(CwIdForm->SpeedRadioGroup->ItemIndex(), 3);
        Click(CwIdForm->StartRadioGroup->Item(1));
        CwIdForm->close();
        Settle(5);
        EXPECT_TRUE(CwIdForm->isVisible()); // the close box does nothing
        QTest::keyClick(CwIdForm, Qt::Key_Escape); // presses Cancel
    });
    EXPECT_EQ(StartId.Wpm, 8);
    EXPECT_TRUE(StartId.Enabled);
    Show(CwIdForm, [] { Click(CwIdForm->OK); });
    EXPECT_EQ(StartId.Wpm, 15);
    EXPECT_EQ(StopId.Wpm, 15);
}

} // namespace
