// Every field with a character limit shows whole what the program puts into
// it; the limit holds for typing only.
#include "dialogs/fskform.h"
#include "dialogs/speedform.h"
#include "dialogs/starttimeform.h"
#include "dialogs/warnform.h"

#include "app/mainform.h"
#include "dialogtest.h"
#include "settings/settings.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using FieldLimitTest = DialogTest;

TEST_F(FieldLimitTest, StoredValuesShowWholeAndTypingStopsAtTheLimit)
{
    const struct {
        const char* action; // Setup menu item, or none for the start time dialog
        std::function<void()> store;
        std::function<QLineEdit*()> field;
        const char* shown;
        int limit;
    } fields[] = {
        {"SetupWarn", [] { AlarmTime = 1234; }, [] { return WarnForm->WarnEdit; }, "1234", 3},
        {"SetupSpeed", [] { DotLength = 1234567000; }, [] { return SpeedForm->DotEdit; }, "1234567", 6},
        {"SetupDfcw", [] { KeyGap = 1234567000; }, [] { return FSKForm->GapEdit; }, "1234567", 6},
        {nullptr, [] { StopTime = "12345678"; }, [] { return StartTimeForm->StopEdit; }, "12345678", 6},
    };
    for (const auto& f : fields) {
        SCOPED_TRACE(f.shown);
        f.store();
        const auto drive = [&f](QDialog* d) {
            QLineEdit* field = f.field();
            EXPECT_EQ(field->text(), QString::fromLatin1(f.shown));
            field->setFocus();
            field->end(false);
            QTest::keyClick(field, Qt::Key_9); // no longer than it was
            EXPECT_EQ(field->text(), QString::fromLatin1(f.shown));
            Retype(field, QString(f.limit + 2, QLatin1Char('7')));
            EXPECT_EQ(field->text(), QString(f.limit, QLatin1Char('7')));
            Press(d, Qt::Key_Escape);
        };
        if (f.action != nullptr) {
            Open(f.action, drive);
        } else {
            OnNextModal(drive);
            StartTimeForm->exec();
        }
    }

    // OK without a change keeps the stored number.
    AlarmTime = 1234;
    Open("SetupWarn", [](QDialog*) { Click(WarnForm->OkBitBtn); });
    EXPECT_EQ(AlarmTime, 1234);
}

} // namespace
