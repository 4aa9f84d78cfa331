// Every window that exists shows its texts whole at the desktop's font, at an
// ordinary size and at a large one: each visible label and button is at least
// as wide as its text and lies inside its window.
#include "formsfixture.h"

#include "dialogs/speedform.h"
#include "dialogs/starttimeform.h"
#include "dialogs/textform.h"
#include "widgets/uppercaseedit.h"
#include "help/exitform.h"

#include <QAbstractButton>
#include <QMenuBar>
#include <QTest>

namespace {

void ExpectTextsWhole(QWidget* window)
{
    const QString where = window->windowTitle() + QStringLiteral(": ");
    for (QWidget* w : window->findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(w);
        auto* button = qobject_cast<QAbstractButton*>(w);
        if (!w->isVisibleTo(window) || (label == nullptr && button == nullptr))
            continue;
        const QString text = label != nullptr ? label->text() : button->text();
        if (text.isEmpty())
            continue;
        const std::string what = QString(where + text).toStdString();
        const QRect r(w->mapTo(window, QPoint(0, 0)), w->size());
        EXPECT_TRUE(window->rect().contains(r)) << what << " lies outside the window";
        if (label != nullptr && label->wordWrap())
            EXPECT_GE(w->height(), label->heightForWidth(w->width())) << what;
        else
            EXPECT_GE(w->width(), w->sizeHint().width()) << what << " is cut";
        EXPECT_GE(w->height(), w->fontMetrics().height()) << what << " is cut";
    }
}

class TextsWholeTest : public FormsTest, public testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        FormsTest::SetUp();
        font_ = QApplication::font();
        QFont font = font_;
        font.setPointSize(GetParam());
        QApplication::setFont(font);
        Start();
    }
    void TearDown() override
    {
        FormsTest::TearDown();
        QApplication::setFont(font_);
    }
    // Shows `window` through `open` and checks it; `more` may act in it first.
    static void Check(const std::function<void()>& open, std::function<void(QDialog*)> more = {})
    {
        bool checked = false;
        OnNextModal([&](QDialog* d) {
            if (more)
                more(d);
            Settle();
            ExpectTextsWhole(d);
            checked = true;
            if (d == KeyForm)
                KeyForm->CancelBitBtn->click();
            else
                d->QDialog::done(QDialog::Rejected);
        });
        open();
        EXPECT_TRUE(checked);
    }
    QFont font_;
};

TEST_P(TextsWholeTest, MainWindowAndMessages)
{
    EXPECT_GE(SlowCwForm->width(), SlowCwForm->menuBar()->sizeHint().width());
    const auto message = [](const QString& text) {
        return [text] { ShowMessageForm(QStringLiteral("Warning"), text, Qt::red, true); };
    };
    Check(message(QStringLiteral("Port outputs can be unstable during initialisation of LPT2, beware of unintentional transmitting !")));
    Check(message(QString(60, QLatin1Char('W')) + QStringLiteral(" ") + QString(60, QLatin1Char('W'))));
    Check(message(QStringLiteral("invalid start time")), [](QDialog* d) { EXPECT_EQ(d->width(), 831); });
    Check([] { ExitForm->exec(); });
}

TEST_P(TextsWholeTest, SetupDialogs)
{
    Check([] {
        TextForm->TextEdit->setText(QStringLiteral("CQ"));
        TextForm->exec();
    });
    EditKeyGap = -1;
    Check([] { SpeedForm->exec(); });
    EditKeyGap = 0;
    Check([] { SpeedForm->exec(); });
    Check([] { StartTimeForm->exec(); });
}

TEST_P(TextsWholeTest, TransmitWindowInEveryRunKind)
{
    PortNumber = 21;
    // Wider than the design's window at this font, narrower than the screen.
    const int w = QFontMetrics(KeyForm->GrayLabel->font()).horizontalAdvance(QLatin1Char('W'));
    Texts[1] = "VVV DE " + std::string(static_cast<std::size_t>(900 / w), 'W');
    RepeatCount = 0;
    Check([] { Action("StartNow")->trigger(); }, [this](QDialog* d) {
        Tick(20);
        EXPECT_GT(d->width(), 762);
    });
    Check([] { Action("StartTest")->trigger(); });
    Check([] { Action("StartQso")->trigger(); });
    RunKind = kRunReleasePort;
    Check([] { KeyForm->exec(); }, [](QDialog*) { Settle(); });
    RunKind = kRunOpenPort;
    Check([] { KeyForm->exec(); }, [](QDialog*) {
        OnNextModal([](QDialog* m) {
            ExpectTextsWhole(m); // the red warning, first letter and " !" included
            EXPECT_TRUE(MsgForm->MsgLabel->text().startsWith(QStringLiteral("Port outputs")));
            MsgForm->CancelBitBtn->click();
        });
        Settle(50);
        EXPECT_EQ(KeyForm->MsgLabel->text(), QStringLiteral("Initialisation of LPT2 Cancelled"));
    });
}

INSTANTIATE_TEST_SUITE_P(DesktopFonts, TextsWholeTest, testing::Values(9, 16),
                         [](const testing::TestParamInfo<int>& info) { return std::to_string(info.param) + "pt"; });

} // namespace
