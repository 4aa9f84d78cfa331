#include "dialogs/syncform.h"

#include "widgets/radiogroupbox.h"
#include "dialogtest.h"
#include "settings/settings.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>

namespace {

using SyncFormTest = DialogTest;

TEST_F(SyncFormTest, ChoosingAPeriodStoresItsIndexAndCancelStoresNothing)
{
    SyncPeriod = 2;
    Open("SetupSync", [this](QDialog* d) {
        EXPECT_EQ(d, SyncForm);
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Synchronisation"));
        RadioGroupBox* group = SyncForm->SyncRadioGroup;
        EXPECT_EQ(group->title(), QStringLiteral("Synchronisation :"));
        std::vector<std::string> items;
        for (int i = 0; i < group->Count(); ++i)
            items.push_back(group->Item(i)->text().toStdString());
        EXPECT_EQ(items, (std::vector<std::string>{"disabled", "1 minute", "2 minutes", "5 minutes",
                                                   "10 minutes", "30 minutes", "1 hour"}));
        EXPECT_EQ(group->ItemIndex(), 2);
        ExpectTextsWholeAndNamed(d);
        Click(group->Item(5));
        Press(d, Qt::Key_Escape);
    });
    EXPECT_EQ(SyncPeriod, 2);

    Open("SetupSync", [this](QDialog* d) {
        EXPECT_EQ(SyncForm->SyncRadioGroup->ItemIndex(), 2); // loaded again from the setting
        Click(SyncForm->SyncRadioGroup->Item(5));
        Press(d, Qt::Key_Return);
    });
    EXPECT_EQ(SyncPeriod, 5);
}

TEST_F(SyncFormTest, AStoredPeriodBeyondTheListShowsTheLastItem)
{
    SyncPeriod = 9; // only from an edited settings file
    Open("SetupSync", [this](QDialog* d) {
        EXPECT_EQ(SyncForm->SyncRadioGroup->ItemIndex(), 6);
        Click(SyncForm->OkBitBtn);
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(SyncPeriod, 6);
}

TEST_F(SyncFormTest, TheFrameIsResizableButNotBelowItsTexts)
{
    Open("SetupSync", [this](QDialog* d) {
        EXPECT_FALSE(d->windowFlags() & Qt::MSWindowsFixedSizeDialogHint);
        const QSize shown = d->size();
        d->resize(shown + QSize(80, 60));
        Settle();
        EXPECT_EQ(d->size(), shown + QSize(80, 60));
        d->resize(20, 20);
        Settle();
        EXPECT_GE(d->width(), d->minimumSizeHint().width());
        d->close(); // the close box stores nothing
        Settle();
        EXPECT_FALSE(d->isVisible());
    });
}

} // namespace
