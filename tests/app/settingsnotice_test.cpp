// What the user is told about the settings file: at start-up what the file's
// state means for this run, at exit a save that failed; each at most once.
#include "formsfixture.h"

#include "help/exitform.h"
#include "settings/settingsfile.h"

#include <QPushButton>
#include <QTest>

namespace {

namespace fs = std::filesystem;

class SettingsNoticeTest : public FormsTest {
protected:
    // The messages shown while the program starts.
    QStringList StartUp()
    {
        QStringList shown;
        auto waiting = OnNextModal([&](QDialog* m) { Answer(m, shown); });
        Start();
        Settle(50);
        *waiting = false;
        return shown;
    }
    // The messages shown while Exit ends the program.
    QStringList Exit()
    {
        QStringList shown;
        std::shared_ptr<bool> waiting;
        OnNextModal([&](QDialog* d) {
            EXPECT_EQ(d, ExitForm);
            ExitForm->OkBitBtn->click();
            waiting = OnNextModal([&](QDialog* m) { Answer(m, shown); });
        });
        Action("Exit1")->trigger();
        Settle(50);
        if (waiting)
            *waiting = false;
        EXPECT_FALSE(SlowCwForm->isVisible());
        return shown;
    }
    static void Answer(QDialog* m, QStringList& shown)
    {
        EXPECT_EQ(m, MsgForm);
        shown << m->windowTitle() + QStringLiteral(": ") + MsgForm->MsgLabel->text();
        MsgForm->Ok2BitBtn->click();
    }
};

TEST_F(SettingsNoticeTest, ReadOnlyFileIsToldAtStartUpOnly)
{
    DotLength = 9000;
    ASSERT_TRUE(SaveSettings());
    fs::permissions(kSettingsFileName, fs::perms(0444));
    const auto before = ReadFile(kSettingsFileName);
    EXPECT_EQ(StartUp(), QStringList{QStringLiteral(
                             "Warning: VANTREL.SET is read-only : changes to the settings will not be saved")});
    EXPECT_EQ(DotLength, 9000);
    DotLength = 2000;
    EXPECT_EQ(Exit(), QStringList());
    EXPECT_EQ(ReadFile(kSettingsFileName), before);
}

TEST_F(SettingsNoticeTest, WrongLengthIsToldAndTheFileKept)
{
    const std::vector<std::uint8_t> old(3103, 0x42);
    WriteFile(kSettingsFileName, old);
    EXPECT_EQ(StartUp(), QStringList{QStringLiteral(
                             "Warning: VANTREL.SET has 3103 bytes instead of 3104 : the defaults are used, and it "
                             "will be kept as VANTREL.SET.bad when the settings are saved")});
    EXPECT_EQ(Exit(), QStringList());
    EXPECT_EQ(ReadFile("VANTREL.SET.bad"), old);
    EXPECT_EQ(ReadFile(kSettingsFileName).size(), kRecordSize);
}

TEST_F(SettingsNoticeTest, SaveThatFailsIsToldAtExit)
{
    fs::create_symlink("gone/vantrel.dat", kSettingsFileName);
    EXPECT_EQ(StartUp(), QStringList());
    EXPECT_EQ(Exit(), QStringList{QStringLiteral(
                          "Error: Settings not saved : cannot write VANTREL.SET : No such file or directory")});
}

TEST_F(SettingsNoticeTest, AutostartDoesNotWaitForTheNotice)
{
    Texts[1] = "E";
    ASSERT_TRUE(SaveSettings());
    fs::permissions(kSettingsFileName, fs::perms(0444));
    bool started = false;
    OnNextModal([&](QDialog* d) {
        started = d == KeyForm;
        KeyForm->CancelBitBtn->click();
    });
    Start({"autostart"});
    QTest::qWait(300);
    EXPECT_TRUE(started);
    // Told at exit instead, where the operator is.
    EXPECT_EQ(Exit(), QStringList{QStringLiteral("Error: Settings not saved : VANTREL.SET is read-only")});
}

} // namespace
