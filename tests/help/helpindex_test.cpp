// The help index and its pages: every topic's label, caption and lines, the
// index hidden while a page is shown, and the keyboard.
#include "help/more2form.h"
#include "help/moreaboutform.h"
#include "modal.h"
#include "settings/settings.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <memory>

#include <gtest/gtest.h>

namespace {

struct Topic {
    int code;
    const char* label;
    const char* caption;
    const char* page; // the memo's 14 lines, line 0 first
};

// In index order.
const Topic kTopics[] = {
    {11, "- Port", "More about : Setup - Port",
     "\n"
     "Select a port :\n"
     "\n"
     "- COM1 to COM9 and LPT1 to LPT2 can be selected.\n"
     "- Serial port only : RTS/DTR lines of the COM port can be appointed\n"
     "  to either Key or PTT/DFCW outputs.\n"
     "- Parallel port connections : can be set to Vantrel standard or DX4WIN compatible\n"
     "  In this last mode key = pin 1, PTT = pin 16 and DFCW = pin 3.\n"
     "- During initialisation of a serial port the outputs can become unstable for a\n"
     "  short time and cause unintentional transmission if no precautions are taken.\n"
     "  A warning is given prior to each initialisation.\n"
     "- If a serial mouse is used DO NOT select the port used by the mouse !\n"
     "\n"},
    {12, "- Speed", "More about : Setup - Speed",
     "\n"
     "Select transmitting speed :\n"
     "\n"
     "- The speed must be given as dot length in seconds (1 - 3600)\n"
     "\n\n\n\n\n\n\n\n\n"},
    {13, "- Text", "More about : Setup - Text",
     "\n"
     "Select text to transmit :\n"
     "\n"
     "- Select a text by clicking on the text or on the appropriate button.\n"
     "- For each text the transmission duration (at the selected speed) is given.\n"
     "\n\n\n\n\n\n\n\n"},
    {14, "- Repeat", "More about : Setup - Repeat",
     "\n"
     "Enter the number of times the text has to be repeated :\n"
     "\n"
     "- Each text can be repeated up to 99 times (or endless if 0 is entered).\n"
     "- A interval between the tranmissions can be selected\n"
     "  (1 to 99 minutes, 0 will cause non-stop repetition, with the interval rounded up to\n"
     "   the next minute)\n"
     "\n\n\n\n\n\n"},
    {15, "- QSK", "More about : Setup - QSK",
     "\n"
     "Enter the QSK parameters :\n"
     "\n"
     "- QSK = select (or disable) QSK activity\n"
     "- TX delay = delay between push PTT and start keying\n"
     "- RX delay = delay between stop keying and release PTT\n"
     "\n"
     "QSK is only available in QRSS mode. If QSK is enabled then Vantrel will release PTT\n"
     "as selected. This will allow you to listen during your transmission.\n"
     "PTT switching is calculated ahead, so it will cause no delay on the keying.\n"
     "\n\n\n"},
    {16, "- Mode", "More about : Setup - Mode",
     "\n"
     "Select the mode :\n"
     "\n"
     "- QRSS is traditional CW keyed at very low speed, the dash-dot ratio can be\n"
     "  selected between 3/1 and 2/1\n"
     "\n"
     "- DFCW is CW where dots and dashes are sent on different frequencies and have\n"
     "  the same length. It is about 3 times faster than QRSS.\n"
     "  The length of a space can be choosen between 0.5 , 1 and 2 dotlengths.\n"
     "\n\n\n\n"},
    {17, "- Alarm", "More about : Setup - Alarm",
     "\n"
     "Select the alarm time :\n"
     "\n"
     "- If the speed is given as seconds per dot an alarm signal is available via the\n"
     "  internal PC-speaker to warn you at a given time before the end of the transmission.\n"
     "- This alarm time is given in seconds (max. 999), enter 0 or blank to disable the\n"
     "  alarm function\n"
     "- Enabling the alarm function will disable the sidetone via the internal PC-speaker\n"
     "  as this speaker can only be use for one function\n"
     "\n\n\n\n"},
    {18, "- Sound", "More about : Setup - Sound",
     "\n"
     "Enable or disable the sidetone (QRSS) or FSK tones (DFCW) :\n"
     "\n"
     "- The sound can be sent via the internal PC-speaker or via the soundcard\n"
     "- The tone can be in the range of 20 to 20000Hz\n"
     "- For DFCW the dot and dash tones can be selected to allow DFCW modulation\n"
     "  using the microphone input of a SSB transmitter\n"
     "- Enabling sound via the PC-speaker will disable the alarm function as the internal\n"
     "  speaker of the PC can only be used for one function\n"
     "- The given frequency is rounded to 0.1Hz, be sure to use the correct decimal\n"
     "  separator ( . or , ).\n"
     "- Be aware that there can be a frequency error at when using the internal\n"
     "  PC-speaker (up to 0.1Hz @ 400Hz, 1Hz @ 1kHz, 20Hz @ 5kHz, 340Hz @ 20kHz).\n"},
    {19, "- DFCW", "More about : Setup - DFCW",
     "\n"
     "FSK :\n"
     "- normal : dash = DTR high / dot = DTR low\n"
     "- reverse : dash = DTR low / dot = DTR high\n"
     "\n"
     "Key gap :\n"
     "To make visual detection of DFCW more easy it is possible to insert a gap\n"
     "between the dots/dashes. The gap length has to be entered in seconds.\n"
     "\n"
     "Omit redundant key gaps :\n"
     "Key gaps at the end of a character and at dot/dash or dash/dot transitions are\n"
     "omited in order to achieve a maximum datarate.\n"
     "\n"},
    {110, "- CW ID", "More about : Setup - CW ID",
     "\n"
     "Any QRSS/DFCW transmission can be started and ended with a 6 - 15\n"
     "WPM CW text for identification purposes\n"
     "\n"
     "- CW Speed : can be selected between 6, 9, 12 and 15 WPM\n"
     "- Start text : can be enabled or disabled\n"
     "- Stop text : can be enabled or disabled\n"
     "\n"
     "Start and stop text can be edited in the Text option.\n"
     "Be aware that at 9 WPM  and up the CW id. runs uninterrupted and can cause\n"
     "\"word gaps\" in the soundcard datastream (DSP receiving software).\n"
     "\n\n"},
    {111, "- Sync.", "More about : Setup - Sync.",
     "\n"
     "This option allows you to start a QRSS or DFCW transmission at the exact multiple\n"
     "of a period (1, 2, 5, 10, 30 ot 60 minutes)\n"
     "\n"
     "This can be usefull at very long dotlengths to allow a kind of synchronisation\n"
     "between the transmitter and receiver.\n"
     "\n"
     "In repeat mode Vantrel will wait for the end of the repeat time and then start to\n"
     "synchronize the next transmission. Therefore setting a 12 min. repeat time and a 5\n"
     "min. sync. will result in an actual repeat cucle of 15 min. , while setting a 15\n"
     "min. repeat time and a 5 min. sync. will result in an actual 20 min. (not 15 min. !)\n"
     "repeat cycle.\n"
     "\n"},
    {21, "- Text1 ... Text 10", "More about : Text - Text1 .. Text10 + Start ID & Stop ID",
     "\n"
     "Edit a text :\n"
     "\n"
     "- 10 different text lines each of up to 250 characters can be edited.\n"
     "- All text lines are saved and can be re-used.\n"
     "Additional to the 10 text lines also a start-ID and a stop-ID can be edited.\n"
     "This ID-texts can be transmitted at 6 to 15 WPM CW the beginning and/or end of a\n"
     "QRSS/DFCW transmission to allow identification.\n"
     "The start-ID can also be inserted in the QRSS/DFCW text (insert +).\n"
     "\n\n\n\n"},
    {31, "- Now", "More about : Start - Now",
     "\n"
     "Start transmitting immediately :\n"
     "\n"
     "- During transmission the text to be transmitted is shown, the character that is being\n"
     "  transmitted in blue, those already transmitted in black and those still to be\n"
     "  transmitted in gray.\n"
     "\n\n\n\n\n\n\n"},
    {32, "- Later", "More about : Start - Later",
     "\n"
     "Start (and eventually stop) transmitting at a later moment :\n"
     "\n"
     "- The start time and stop time can be entered in the HHMMSS format\n"
     "  eg. 14 hours 25 minutes and 30 seconds = 142530\n"
     "- The stop time can be left blank\n"
     "- If a stop time is entered the current message will be completed before stopping,\n"
     "  so using the stop time is only meaningful in combination with the repeat function\n"
     "\n\n\n\n\n"},
    {33, "- Test", "More about : Start - Test",
     "\n"
     "Transmitter test :\n"
     "\n"
     "- Both PTT/DFCW and key can de pushed and released for test purposes\n"
     "- A fast CW text can be inserted at given intervals (while PTT pushed) :\n"
     "  * in Setup -> CW ID = select \"CW speed\" and enable \"stop text\"\n"
     "  * in Setup -> Repeat = set \"Repeat text\" and \"Interval\"\n"
     "  * in Text -> Stop ID = set text\n"
     "  To disbale the fast CW text disable \"stop text\" in Setup -> CW ID\n"
     "\n\n\n\n"},
    {34, "- QSO", "More about : Start - QSO",
     "\n"
     "QSO mode :\n"
     "\n"
     "- Intended for optimal use of the screen when using Vantrel in combination with receiving\n"
     "  software\n"
     "- A single line of max. 250 characters can be edited and transmitted\n"
     "- The transmitting speed can be changed, even during transmission\n"
     "  (the new speed will become effective from the next character)\n"
     "\n\n\n\n\n"},
    {41, "- Copyright", "More about : Help - Copyright",
     "\n"
     "Show the copyright notice.\n"
     "\n\n\n\n\n\n\n\n\n\n\n"},
    {42, "- About", "More about : Help - About",
     "\n"
     "Show some additional information about Vantrel.\n"
     "\n\n\n\n\n\n\n\n\n\n\n"},
    {43, "- Interface", "More about : Help - Interface",
     "\n"
     "Show the schematic diagram of a simple interface that can be used to drive the\n"
     "key, PTT and/or FSK of the transmitter.\n"
     "\n\n\n\n\n\n\n\n\n\n"},
    {50, "Exit", "More about : Exit",
     "\n"
     "Exit Vantrel\n"
     "\n\n\n\n\n\n\n\n\n\n\n"},
    {60, "AutoStart", "More about : AutoStart",
     "\n"
     "The AutoStart options allows you to start Vantrel at PC bootup, using the command\n"
     "\"VANTREL AUTOSTART\".\n"
     "This option can be useful for automatic and unattended beacons.\n"
     "\n\n\n\n\n\n\n\n\n"},

};

class HelpTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetDefaultSettings();
        MoreAboutForm = new TMoreAboutForm;
        More2Form = new TMore2Form;
    }
    void TearDown() override
    {
        delete More2Form;
        More2Form = nullptr;
        delete MoreAboutForm;
        MoreAboutForm = nullptr;
    }
    static QLabel* Label(std::size_t index) { return MoreAboutForm->TopicLabels.at(index); }

    // Opens the index, clicks a topic label and hands the page to `onPage`,
    // then closes the page with Return or its close box; afterwards checks
    // that the index came back and stays open, and cancels it.
    static void ShowPage(QLabel* label, std::function<void(QDialog*)> onPage, bool closeBox = false)
    {
        bool paged = false;
        auto cameBack = std::make_shared<bool>(false);
        OnNextModal([&](QDialog* index) {
            EXPECT_EQ(index, MoreAboutForm);
            OnNextModal([&](QDialog* page) {
                EXPECT_EQ(page, More2Form);
                EXPECT_FALSE(MoreAboutForm->isVisible()) << "the index stays on screen under the page";
                onPage(page);
                paged = true;
                if (closeBox)
                    page->close();
                else
                    QTest::keyClick(More2Form->ContinueBitBtn, Qt::Key_Return);
            });
            QTest::mouseClick(label, Qt::LeftButton);
            // Checked once the index's own event loop runs again.
            QTimer::singleShot(20, MoreAboutForm, [cameBack] {
                *cameBack = MoreAboutForm->isVisible() && QApplication::activeModalWidget() == MoreAboutForm;
                EXPECT_EQ(MoreAboutForm->focusWidget(), MoreAboutForm->CancelBitBtn); // for Return
                MoreAboutForm->CancelBitBtn->click();
            });
        });
        EXPECT_EQ(MoreAboutForm->exec(), QDialog::Rejected);
        EXPECT_TRUE(paged);
        EXPECT_TRUE(*cameBack) << "the index did not come back after the page";
    }

    ModalWatchdog watchdog_;
};

TEST_F(HelpTest, EveryTopicShowsItsCaptionAndLines)
{
    ASSERT_EQ(MoreAboutForm->TopicLabels.size(), std::size(kTopics));
    for (std::size_t i = 0; i < std::size(kTopics); ++i) {
        const Topic& topic = kTopics[i];
        SCOPED_TRACE(topic.label);
        EXPECT_EQ(Label(i)->text(), QString::fromLatin1(topic.label));
        ShowPage(Label(i), [&](QDialog* page) {
            EXPECT_EQ(HelpTopic, topic.code);
            EXPECT_EQ(page->windowTitle(), QString::fromLatin1(topic.caption));
            EXPECT_EQ(More2Form->HelpMemo->toPlainText(), QString::fromLatin1(topic.page));
            // Every line whole: nothing to scroll to either way.
            EXPECT_EQ(More2Form->HelpMemo->verticalScrollBar()->maximum(), 0);
            EXPECT_EQ(More2Form->HelpMemo->horizontalScrollBar()->maximum(), 0);
            EXPECT_EQ(page->focusWidget(), More2Form->ContinueBitBtn);
        });
    }
}

TEST_F(HelpTest, SpeedAfterSoundHoldsOnlyTheSpeedLines)
{
    ShowPage(MoreAboutForm->findChild<QLabel*>(QStringLiteral("ToneLabel")), [](QDialog*) {
        EXPECT_EQ(More2Form->Line(12),
                  QStringLiteral("  PC-speaker (up to 0.1Hz @ 400Hz, 1Hz @ 1kHz, 20Hz @ 5kHz, 340Hz @ 20kHz)."));
    });
    ShowPage(MoreAboutForm->findChild<QLabel*>(QStringLiteral("SpeedLabel")), [](QDialog* page) {
        EXPECT_EQ(page->windowTitle(), QStringLiteral("More about : Setup - Speed"));
        for (int line = 0; line < 14; ++line) {
            SCOPED_TRACE(line);
            if (line == 1)
                EXPECT_EQ(More2Form->Line(line), QStringLiteral("Select transmitting speed :"));
            else if (line == 3)
                EXPECT_EQ(More2Form->Line(line),
                          QStringLiteral("- The speed must be given as dot length in seconds (1 - 3600)"));
            else
                EXPECT_EQ(More2Form->Line(line), QString());
        }
    });
}

TEST_F(HelpTest, UnknownTopicEmptiesThePageAndKeepsTheCaption)
{
    ShowPage(MoreAboutForm->findChild<QLabel*>(QStringLiteral("SyncLabel")), [](QDialog*) {}, true);
    HelpTopic = 99;
    OnNextModal([](QDialog* page) {
        EXPECT_EQ(page->windowTitle(), QStringLiteral("More about : Setup - Sync."));
        EXPECT_EQ(More2Form->HelpMemo->toPlainText(), QString(13, QLatin1Char('\n')));
        More2Form->ContinueBitBtn->click();
    });
    More2Form->exec();
}

TEST_F(HelpTest, LabelsHintsAndColours)
{
    for (QLabel* label : MoreAboutForm->TopicLabels) {
        SCOPED_TRACE(label->objectName().toStdString());
        const QString name = label->objectName();
        const bool bottom = name == QStringLiteral("ExitLabel") || name == QStringLiteral("AutoStartLabel");
        const bool oneSpace = name == QStringLiteral("DfcwLabel") || name == QStringLiteral("CwIdLabel")
            || name == QStringLiteral("SyncLabel");
        EXPECT_EQ(label->toolTip(), bottom ? QStringLiteral("Click  for help")
                                  : oneSpace ? QStringLiteral("Click for more")
                                             : QStringLiteral("Click  for more"));
        EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
    }
    MoreAboutForm->show();
    Settle();
    const auto colourAt = [](QLabel* label) { return label->grab().toImage().pixelColor(2, label->height() / 2); };
    auto* port = MoreAboutForm->findChild<QLabel*>(QStringLiteral("ComLabel"));
    auto* exit = MoreAboutForm->findChild<QLabel*>(QStringLiteral("ExitLabel"));
    auto* autoStart = MoreAboutForm->findChild<QLabel*>(QStringLiteral("AutoStartLabel"));
    EXPECT_EQ(colourAt(port), QColor(192, 192, 192));
    EXPECT_EQ(colourAt(exit), MoreAboutForm->palette().color(QPalette::Window));
    // AutoStart's text is blue, Exit's black: the darkest pixel of each.
    const auto ink = [](QLabel* label) {
        const QImage image = label->grab().toImage();
        QColor darkest = Qt::white;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y).lightness() < darkest.lightness())
                    darkest = image.pixelColor(x, y);
        return darkest;
    };
    EXPECT_GT(ink(autoStart).blue(), 150);
    EXPECT_LT(ink(autoStart).red(), 60);
    EXPECT_LT(ink(exit).lightness(), 60);
    EXPECT_LT(ink(exit).blue(), 60);

    // The group headings stand level with the first label of their group,
    // Exit and AutoStart at the left margin below them.
    for (const auto& [heading, first] : {std::pair{"Setup :", "ComLabel"}, {"Text :", "Text10Label"},
                                         {"Start :", "NowLabel"}, {"Help :", "CopyrightLabel"}}) {
        SCOPED_TRACE(heading);
        QLabel* headingLabel = nullptr;
        for (QLabel* label : MoreAboutForm->findChildren<QLabel*>())
            if (label->text() == QString::fromLatin1(heading))
                headingLabel = label;
        ASSERT_NE(headingLabel, nullptr);
        const QLabel* firstLabel = MoreAboutForm->findChild<QLabel*>(QString::fromLatin1(first));
        EXPECT_EQ(headingLabel->geometry().center().y(), firstLabel->geometry().center().y());
        EXPECT_LT(headingLabel->geometry().right(), firstLabel->geometry().left());
        EXPECT_LT(exit->geometry().left(), firstLabel->geometry().left());
    }
    EXPECT_GT(exit->y(), MoreAboutForm->MoreHelpLabel->y());
    EXPECT_GT(autoStart->y(), exit->y());
    EXPECT_GT(MoreAboutForm->CancelBitBtn->y(), autoStart->y());
    for (QLabel* label : MoreAboutForm->findChildren<QLabel*>())
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
    MoreAboutForm->hide();
}

TEST_F(HelpTest, MoreHelpIsNotClickable)
{
    EXPECT_EQ(MoreAboutForm->MoreHelpLabel->text(), QStringLiteral("- More help"));
    EXPECT_EQ(MoreAboutForm->MoreHelpLabel->toolTip(), QString());
    HelpTopic = 7;
    OnNextModal([](QDialog*) {
        QTest::mouseClick(MoreAboutForm->MoreHelpLabel, Qt::LeftButton);
        Settle(50);
        EXPECT_EQ(QApplication::activeModalWidget(), MoreAboutForm);
        EXPECT_TRUE(MoreAboutForm->isVisible());
        EXPECT_FALSE(More2Form->isVisible());
        QTest::keyClick(MoreAboutForm, Qt::Key_Escape);
    });
    EXPECT_EQ(MoreAboutForm->exec(), QDialog::Rejected);
    EXPECT_EQ(HelpTopic, 7);
}

TEST_F(HelpTest, KeyboardOpensTopicsAndCancels)
{
    bool paged = false;
    OnNextModal([&](QDialog* index) {
        EXPECT_EQ(index->focusWidget(), MoreAboutForm->CancelBitBtn);
        auto* later = MoreAboutForm->findChild<QLabel*>(QStringLiteral("LaterLabel"));
        const QColor grey = later->grab().toImage().pixelColor(2, 2);
        later->setFocus();
        Settle();
        // The focused topic stands out from the grey bars.
        EXPECT_TRUE(later->hasFocus());
        EXPECT_NE(later->grab().toImage().pixelColor(2, 2), grey);
        OnNextModal([&](QDialog* page) {
            EXPECT_EQ(page->windowTitle(), QStringLiteral("More about : Start - Later"));
            paged = true;
            QTest::keyClick(page->focusWidget(), Qt::Key_Return);
        });
        QTest::keyClick(later, Qt::Key_Space);
        // Back on Cancel, so that Return now closes the index.
        EXPECT_EQ(MoreAboutForm->focusWidget(), MoreAboutForm->CancelBitBtn);
        QTest::keyClick(MoreAboutForm->focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(MoreAboutForm->exec(), QDialog::Rejected);
    EXPECT_TRUE(paged);
    EXPECT_FALSE(MoreAboutForm->isVisible());
}

} // namespace
