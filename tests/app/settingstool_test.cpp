// vantrel-settings against the windows: a whole beacon set up through the
// main window's setup dialogs (OK pressed on what a user types) and saved by
// the program, and the same beacon made by the tool alone, byte for byte.
#include "widgets/uppercaseedit.h"
#include "dialogs/cwidform.h"
#include "dialogs/fskform.h"
#include "dialogs/qskform.h"
#include "widgets/radiogroupbox.h"
#include "dialogs/ratioform.h"
#include "dialogs/repeatform.h"
#include "dialogs/speedform.h"
#include "dialogs/syncform.h"
#include "dialogs/textform.h"
#include "dialogs/toneform.h"
#include "dialogs/warnform.h"
#include "formsfixture.h"
#include "settings/settingsfile.h"

#include <QCheckBox>
#include <QTest>

#include <cstdlib>

namespace {

class SettingsToolTest : public SimulatedFormsTest {
protected:
    void SetUp() override
    {
        SimulatedFormsTest::SetUp();
        CreateWindows();
    }
    // Opens a dialog through the main window's menu handler; `fill` enters
    // the values, then OK is pressed.
    static void Through(void (TSlowCwForm::*open)(), std::function<void()> fill, QAbstractButton* ok)
    {
        OnNextModal([fill, ok](QDialog* dialog) {
            fill();
            QTest::mouseClick(ok, Qt::LeftButton);
            EXPECT_FALSE(dialog->isVisible()) << dialog->windowTitle().toStdString();
        });
        (SlowCwForm->*open)();
    }
    static void Type(QLineEdit* edit, const char* text)
    {
        edit->clear();
        QTest::keyClicks(edit, QString::fromLatin1(text));
    }
};

TEST_F(SettingsToolTest, BeaconMadeByTheToolIsTheOneTheWindowsMake)
{
    Through(&TSlowCwForm::SetupModeClick, [] { RatioForm->RatioRadioGroup->SetItemIndex(2); }, RatioForm->OkBitBtn);
    Through(&TSlowCwForm::SetupSpeedClick, [] { Type(SpeedForm->DotEdit, " 10 "); }, SpeedForm->OkBitBtn);
    Through(&TSlowCwForm::SetupDfcwClick, [] {
        FSKForm->FskRadioGroup->SetItemIndex(1);
        Type(FSKForm->GapEdit, "2");
        FSKForm->OmmitBox->setChecked(true);
    }, FSKForm->OkBitBtn);
    Through(&TSlowCwForm::Text11Click, [] { Type(TextForm->TextEdit, "vvv de n0call/b"); }, TextForm->OkBitBtn);
    Through(&TSlowCwForm::TextStartClick, [] { Type(TextForm->TextEdit, "n0call"); }, TextForm->OkBitBtn);
    Through(&TSlowCwForm::TextStopClick, [] { Type(TextForm->TextEdit, "sk"); }, TextForm->OkBitBtn);
    Through(&TSlowCwForm::SetupRepeatClick, [] {
        Type(RepeatForm->RepeatEdit, "0");
        Type(RepeatForm->IntervalEdit, "10");
    }, RepeatForm->OkBitBtn);
    Through(&TSlowCwForm::SetupSyncClick, [] { SyncForm->SyncRadioGroup->SetItemIndex(4); }, SyncForm->OkBitBtn);
    Through(&TSlowCwForm::SetupQskClick, [] {
        QskForm->QskRadioGroup->SetItemIndex(2);
        QskForm->TxRadioGroup->SetItemIndex(2);
        QskForm->RxRadioGroup->SetItemIndex(3);
    }, QskForm->OkBitBtn);
    Through(&TSlowCwForm::SetupIdClick, [] {
        CwIdForm->SpeedRadioGroup->SetItemIndex(2);
        CwIdForm->StartRadioGroup->SetItemIndex(0);
        CwIdForm->StopRadioGroup->SetItemIndex(0);
    }, CwIdForm->OK);
    Through(&TSlowCwForm::SetupSoundClick, [] {
        ToneForm->SourceRadioGroup->SetItemIndex(1);
        ToneForm->DfcwRadioGroup->SetItemIndex(0);
        Type(ToneForm->DotEdit, "1000.04");
        Type(ToneForm->DashEdit, "1004.06");
        Type(ToneForm->LevelEdit, "75");
    }, ToneForm->OkBitBtn);
    Through(&TSlowCwForm::SetupWarnClick, [] { Type(WarnForm->WarnEdit, "30"); }, WarnForm->OkBitBtn);
    // The port dialog's OK opens the port through the transmit window; what it
    // stores is the chosen port and line assignment.
    PortNumber = 1;
    ComSwap = true;
    ASSERT_TRUE(SaveSettingsFile("windows.SET").Saved);

    const std::string command = std::string(VANTREL_SETTINGS_TOOL) + " --file tool.SET set DfcwMode=true RatioCode=1"
        " DotLength=10000 FskNormal=false KeyGap=2000 OmitKeyGaps=yes 'Texts[1]=vvv de n0call/b'"
        " 'Texts[11]=\"n0call\"' 'Texts[12]=sk' RepeatCount=0 RepeatInterval=10 SyncPeriod=4 QskMode=2"
        " TxDelay=300 RxDelay=1000 StartId.Wpm=12 StartId.Enabled=true StopId.Enabled=true UseSpeaker=false"
        " DfcwToneOn=true DotToneFreq=1000.04 DashToneFreq=1004.06 SoundLevel=75 AlarmTime=30"
        " PortNumber=COM1 ComSwap=true 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const auto windows = ReadFile("windows.SET"), tool = ReadFile("tool.SET");
    ASSERT_EQ(windows.size(), kRecordSize);
    for (std::size_t i = 0; i < kRecordSize; ++i)
        ASSERT_EQ(tool.at(i), windows[i]) << "offset " << i;
}

} // namespace
