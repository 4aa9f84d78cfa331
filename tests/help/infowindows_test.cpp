// The copyright, about and interface windows: their texts, the version line,
// and the schematic that scales with the window.
#include "app/forms.h"
#include "app/mainform.h"
#include "help/aboutform.h"
#include "help/copyrightform.h"
#include "help/interfaceform.h"
#include "help/moreaboutform.h"
#include "help/schematic.h"
#include "modal.h"
#include "settings/settings.h"
#include "support/fakeclock.h"
#include "support/tempdir.h"
#include "tonegen/player.h"

#include <QAction>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class InfoWindowTest : public testing::Test {
protected:
    void SetUp() override { SetDefaultSettings(); }
    // Shows `form` modally, runs `check` on it and closes it with Return.
    static void Show(QDialog* form, std::function<void()> check)
    {
        bool checked = false;
        OnNextModal([&](QDialog* shown) {
            EXPECT_EQ(shown, form);
            check();
            checked = true;
            QTest::keyClick(shown->focusWidget() ? shown->focusWidget() : shown, Qt::Key_Return);
        });
        EXPECT_EQ(form->exec(), QDialog::Accepted);
        EXPECT_TRUE(checked);
    }
    static void ExpectWhole(QLabel* label)
    {
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
    }
    ModalWatchdog watchdog_;
};

TEST_F(InfoWindowTest, CopyrightShowsTheVersionLineAtEveryOpening)
{
    TCopyrightForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Copyright"));
    Show(&form, [&] {
        EXPECT_EQ(form.VersionLabel->text(), QStringLiteral("V4.14  (21 August 2013)"));
        EXPECT_EQ(form.focusWidget(), form.OKButton);
        EXPECT_EQ(form.CopyrightPanel->palette().color(QPalette::Window), QColor(Qt::white));
        // The logo: a square at the top left, the version beside it.
        const QPixmap logo = form.ProgramIcon->pixmap();
        ASSERT_FALSE(logo.isNull());
        EXPECT_EQ(logo.width(), logo.height());
        EXPECT_LT(form.ProgramIcon->geometry().right(), form.VersionLabel->geometry().left());
        EXPECT_LT(form.ProgramIcon->geometry().bottom(), form.Copyright->geometry().top());
        for (QLabel* label : {form.VersionLabel, form.Copyright, form.Comments1, form.Comments2})
            ExpectWhole(label);
    });
    EXPECT_TRUE(form.Copyright->text().endsWith(QStringLiteral("the Vantrel developers")));
    EXPECT_TRUE(QString(form.Comments1->text() + form.Comments2->text())
                    .contains(QStringLiteral("GNU General Public License")));
    EXPECT_TRUE(form.Comments2->text().startsWith(QStringLiteral("version 3 or later")));

    VersionText = "4.15";
    VersionDate = "1 May 2027";
    Show(&form, [&] {
        EXPECT_EQ(form.VersionLabel->text(), QStringLiteral("V4.15  (1 May 2027)"));
        ExpectWhole(form.VersionLabel);
    });
}

TEST_F(InfoWindowTest, AboutTextInOrderWithLicenceAndBuild)
{
    TAboutForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("About Vantrel"));
    const QStringList lines = form.AboutMemo->toPlainText().split(QLatin1Char('\n'));
    // The lines the text must hold, in this order (others stand between them).
    const QStringList expected = {
        QStringLiteral("Vantrel is transmitting software for the  extreme narrowband transmission modes QRSS and DFCW."),
        QString(),
        QStringLiteral("Features : "),
        QStringLiteral("  -  dotlengths between 1 second and 1 hour"),
        QStringLiteral("  - 10 text buffers each of 250 characters available"),
        QStringLiteral("  - repeat function allows any text to be repeated (once to endless) at a selectable interval time"),
        QStringLiteral("  - selectable dash/dot ratio allows an average 20% time saving in QRSS mode"),
        QStringLiteral("  - identification in CW (6-15WPM):"),
        QStringLiteral("      - the start text can also be inserted anywhere in the QRSS/DFCW text (by inserting +)"),
        QStringLiteral("  - available characters are "),
        QStringLiteral("      - A-Z  "),
        QStringLiteral("      - 0-9"),
        QStringLiteral("      - ? / . "),
        QStringLiteral("      - AR (@), SK ($), BK (%) and CT (*)"),
        QStringLiteral("      - start-ID in CW (+) "),
        QStringLiteral("  - transmission can be synchronized to periods of 1, 2, 5, 10, 30 or 60 minutes"),
        QStringLiteral("  - AutoStart facility allows Vantrel to start at PC bootup"),
        QStringLiteral("Vantrel is :"),
        QStringLiteral("  - selfexplaining and has some 'online help', so there is no need for a manual"),
        QStringLiteral("  - free software under the GNU General Public License, version 3 or later"),
        QStringLiteral("  - version " VANTREL_VERSION ", built with Qt " QT_VERSION_STR),
    };
    EXPECT_EQ(lines.mid(0, 3), expected.mid(0, 3));
    qsizetype at = 0;
    for (const QString& line : expected) {
        const qsizetype found = lines.indexOf(line, at);
        EXPECT_GE(found, at) << "missing or out of order: " << line.toStdString();
        at = std::max(at, found + 1);
    }
    // The last three "Vantrel is" lines follow each other, then contact,
    // copyright and disclaimer.
    const qsizetype is = lines.indexOf(QStringLiteral("Vantrel is :"));
    EXPECT_EQ(lines.at(is + 3), BuildLine());
    const QString rest = lines.mid(is + 4).join(QLatin1Char('\n'));
    EXPECT_LT(rest.indexOf(QStringLiteral("Contact")), rest.indexOf(QStringLiteral("Copyright")));
    EXPECT_LT(rest.indexOf(QStringLiteral("Copyright")), rest.indexOf(QStringLiteral("WITHOUT ANY WARRANTY")));
    EXPECT_TRUE(rest.contains(QStringLiteral("the Vantrel developers")));

    Show(&form, [&] {
        EXPECT_TRUE(form.AboutMemo->isReadOnly());
        EXPECT_EQ(form.AboutMemo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        EXPECT_EQ(form.AboutMemo->palette().color(QPalette::Base), ButtonFaceColor());
        EXPECT_LT(form.AboutMemo->geometry().bottom(), form.OkBitBtn->geometry().top());
        // No line of the feature list breaks; only the closing paragraphs wrap.
        const QFontMetrics metrics(form.AboutMemo->font());
        const int room = form.AboutMemo->viewport()->width()
            - 2 * int(form.AboutMemo->document()->documentMargin());
        for (const QString& line : lines) {
            if (line.startsWith(QStringLiteral("  "))) {
                EXPECT_LE(metrics.horizontalAdvance(line), room) << line.toStdString();
            }
        }
    });
}

TEST_F(InfoWindowTest, TheBuildIsTheVersionTheWindowsShow)
{
    // The about text names the project version; the titles and the copyright
    // window name VersionText. They must not drift apart.
    EXPECT_EQ(VersionText, VANTREL_VERSION);
}

TEST_F(InfoWindowTest, InterfaceMemoAndSchematic)
{
    TInterfaceForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Interface"));
    const QStringList lines = form.Memo1->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 17);
    EXPECT_EQ(lines[0], QStringLiteral("This interface is needed twice (one for keying and one"));
    EXPECT_EQ(lines[3], QStringLiteral("Serial port :  RTS = key, DTR = PTT/DFCW (can be swapped)"));
    EXPECT_EQ(lines[6], QString());
    EXPECT_EQ(lines[8], QStringLiteral("D9   -> RTS = 7, DTR = 4, GND = 5"));
    EXPECT_EQ(lines[15], QStringLiteral("R = 22k    C = 100p    D = 1N914 or eq.    T = BC547c or eq."));
    EXPECT_EQ(lines[16], QStringLiteral("(D is not required for parallel port interface)"));
    Show(&form, [&] {
        EXPECT_FALSE(form.Memo1->isEnabled());
        EXPECT_EQ(form.Memo1->verticalScrollBar()->maximum(), 0) << "a memo line is cut off";
        EXPECT_EQ(form.Memo1->horizontalScrollBar()->maximum(), 0) << "a memo line is cut off";
        EXPECT_EQ(form.Image1->geometry(), QRect(0, 0, form.width(), form.Image1->heightForWidth(form.width())));
        EXPECT_EQ(form.Memo1->geometry().center().x(), form.rect().center().x());
        EXPECT_LT(form.Image1->geometry().bottom(), form.Memo1->geometry().top());
        EXPECT_LT(form.Memo1->geometry().bottom(), form.OkBitBtn->geometry().top());
        EXPECT_EQ(form.focusWidget(), form.OkBitBtn);
    });
}

class HelpMenuTest : public TempDirTest {
protected:
    void TearDown() override
    {
        DestroyForms();
        TempDirTest::TearDown();
    }
    FakeClock clock_;
    SilentPlayer player_;
    ModalWatchdog watchdog_;
};

TEST_F(HelpMenuTest, EachItemOpensItsWindowOverTheMainWindow)
{
    CreateForms(clock_, player_, {});
    SlowCwForm->show();
    Settle();
    const std::pair<const char*, QDialog*> items[] = {
        {"Copyright", CopyrightForm}, {"AboutVantrel", AboutForm},
        {"Electronics", InterfaceForm}, {"MoreAbout", MoreAboutForm}};
    for (const auto& [name, form] : items) {
        SCOPED_TRACE(name);
        QDialog* shown = nullptr;
        OnNextModal([&](QDialog* d) {
            shown = d;
            EXPECT_TRUE(SlowCwForm->isVisible());
            d->close();
        });
        auto* action = SlowCwForm->findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr);
        action->trigger();
        EXPECT_EQ(shown, form);
        EXPECT_FALSE(form->isVisible());
    }
}

// A pixel of the schematic at a point given in drawing units is dark when any
// pixel within one pixel of it is: lines are antialiased.
bool DarkAt(const QImage& image, double x, double y)
{
    const double scale = double(image.width()) / kSchematicWidth;
    const int px = int(x * scale), py = int(y * scale);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint p(px + dx, py + dy);
            if (image.rect().contains(p) && image.pixelColor(p).lightness() < 128)
                return true;
        }
    return false;
}

TEST(Schematic, ScalesWithTheWidth)
{
    TSchematic schematic;
    for (const int width : {320, 640, 1280}) {
        SCOPED_TRACE(width);
        EXPECT_EQ(schematic.heightForWidth(width), width * kSchematicHeight / kSchematicWidth);
        schematic.resize(width, schematic.heightForWidth(width));
        const QImage image = schematic.grab().toImage();
        ASSERT_EQ(image.width(), width);
        // The ground rail runs from the port to the output.
        for (const double x : {60.0, 200.0, 400.0, 560.0})
            EXPECT_TRUE(DarkAt(image, x, 222)) << "rail at " << x;
        // The port line, through R to the base, and the collector's line to Key/PTT.
        for (const double x : {80.0, 230.0, 400.0})
            EXPECT_TRUE(DarkAt(image, x, 110)) << "port line at " << x;
        EXPECT_TRUE(DarkAt(image, 540, 42));
        // Nothing between the parts: below the port line, left of C.
        EXPECT_FALSE(DarkAt(image, 150, 170));
        EXPECT_FALSE(DarkAt(image, 560, 150));
        // The corners stay white.
        EXPECT_EQ(image.pixelColor(width - 1, image.height() - 1), QColor(Qt::white));
    }
}

TEST(Schematic, LabelsInTheirPlaces)
{
    // Each label's ink is found where the drawing puts it, at any scale.
    TSchematic schematic;
    schematic.resize(1280, schematic.heightForWidth(1280));
    const QImage image = schematic.grab().toImage();
    const auto inkIn = [&](QRectF units) {
        const double scale = double(image.width()) / kSchematicWidth;
        const QRect box = QRectF(units.topLeft() * scale, units.size() * scale).toRect();
        int dark = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                dark += image.pixelColor(x, y).lightness() < 128;
        return dark;
    };
    EXPECT_GT(inkIn(QRectF(26, 18, 120, 24)), 200) << "COM PORT heading";
    EXPECT_GT(inkIn(QRectF(50, 78, 80, 24)), 100) << "RTS/DTR";
    EXPECT_GT(inkIn(QRectF(520, 10, 80, 24)), 100) << "Key/PTT";
    EXPECT_EQ(inkIn(QRectF(150, 150, 80, 50)), 0) << "empty ground between the port and C";
}

} // namespace
