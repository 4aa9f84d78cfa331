#include "mainform.h"

#include "commandline.h"
#include "widgets/form.h"
#include "dialogs/comform.h"
#include "dialogs/cwidform.h"
#include "dialogs/fskform.h"
#include "headless.h"
#include "dialogs/placeholders.h"
#include "dialogs/qskform.h"
#include "dialogs/ratioform.h"
#include "dialogs/repeatform.h"
#include "dialogs/seltextform.h"
#include "dialogs/speedform.h"
#include "dialogs/starttimeform.h"
#include "dialogs/syncform.h"
#include "dialogs/textform.h"
#include "dialogs/toneform.h"
#include "dialogs/warnform.h"
#include "help/aboutform.h"
#include "help/copyrightform.h"
#include "help/exitform.h"
#include "help/interfaceform.h"
#include "help/moreaboutform.h"
#include "io/portdriver.h"
#include "keyform.h"
#include "clock/clock.h"
#include "widgets/logo.h"
#include "morse/duration.h"
#include "morse/morse.h"
#include "morse/startcheck.h"
#include "widgets/msgform.h"
#include "previewform.h"
#include "settings/settings.h"
#include "settings/settingsfile.h"
#include "settings/settingsfolder.h"
#include "widgets/uppercaseedit.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QTimer>

#include <cstdio>

TSlowCwForm* SlowCwForm = nullptr;

QString MainCaption(double now)
{
    return QStringLiteral("Vantrel    (V") + FromBytes(VersionText) + QStringLiteral(")            ")
        + FromBytes(TimeOfDayText(now).substr(0, 8));
}

TSlowCwForm::TSlowCwForm(Clock& clock, const std::vector<std::string>& args, QWidget* parent)
    : QMainWindow(parent), clock_(clock)
{
    // FormCreate.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    BuildMenu();
    VantrelImage = new QLabel(this);
    VantrelImage->setObjectName(QStringLiteral("VantrelImage"));
    VantrelImage->setScaledContents(true);
    VantrelImage->setPixmap(VantrelLogo(QSize(372, 300)));
    setCentralWidget(VantrelImage);
    // The outer height of 350 less the title bar that the window manager
    // adds; wider where the menu's captions need it.
    setFixedSize(std::max(372, menuBar()->sizeHint().width()), 320);
    setWindowTitle(QStringLiteral("Vantrel"));

    SetDefaultSettings();
    LoadSettings();
    // A headless run has refused to start without a file; the windows go on.
    if (SettingsFileMissing())
        std::fprintf(stderr, "vantrel: %s: starting from the defaults\n", MissingSettingsText().c_str());
    settingsNotice_ = SettingsFileNotice();
    if (!settingsNotice_.empty())
        std::fprintf(stderr, "vantrel: %s\n", settingsNotice_.c_str());
    AutoStart = IsAutoStartCommandLine(args);

    ClockTimer = new QTimer(this);
    ClockTimer->setInterval(100);
    connect(ClockTimer, &QTimer::timeout, this, &TSlowCwForm::ClockTimerTimer);
    ClockTimer->start();
}

void TSlowCwForm::BuildMenu()
{
    const auto item = [this](QMenu* menu, QAction*& action, const char* name, const QString& caption,
                             void (TSlowCwForm::*handler)()) {
        action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
    };
    const auto menu = [this](const char* name, const QString& caption) {
        QMenu* m = menuBar()->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };

    SetupMenu = menu("SetupMenu", QStringLiteral("Setup"));
    item(SetupMenu, SetupCom, "SetupCom", QStringLiteral("Port"), &TSlowCwForm::SetupComClick);
    item(SetupMenu, SetupSpeed, "SetupSpeed", QStringLiteral("Speed"), &TSlowCwForm::SetupSpeedClick);
    item(SetupMenu, SetupText, "SetupText", QStringLiteral("Text"), &TSlowCwForm::SetupTextClick);
    item(SetupMenu, SetupRepeat, "SetupRepeat", QStringLiteral("Repeat"), &TSlowCwForm::SetupRepeatClick);
    item(SetupMenu, SetupQsk, "SetupQsk", QStringLiteral("QSK"), &TSlowCwForm::SetupQskClick);
    item(SetupMenu, SetupMode, "SetupMode", QStringLiteral("Mode"), &TSlowCwForm::SetupModeClick);
    item(SetupMenu, SetupWarn, "SetupWarn", QStringLiteral("Alarm"), &TSlowCwForm::SetupWarnClick);
    item(SetupMenu, SetupSound, "SetupSound", QStringLiteral("Sound"), &TSlowCwForm::SetupSoundClick);
    item(SetupMenu, SetupDfcw, "SetupDfcw", QStringLiteral("DFCW"), &TSlowCwForm::SetupDfcwClick);
    item(SetupMenu, SetupId, "SetupId", QStringLiteral("CW ID"), &TSlowCwForm::SetupIdClick);
    item(SetupMenu, SetupSync, "SetupSync", QStringLiteral("Sync."), &TSlowCwForm::SetupSyncClick);

    Text1 = menu("Text1", QStringLiteral("Text"));
    item(Text1, Text11, "Text11", QStringLiteral("Text 1"), &TSlowCwForm::Text11Click);
    item(Text1, Text21, "Text21", QStringLiteral("Text 2"), &TSlowCwForm::Text21Click);
    item(Text1, Text31, "Text31", QStringLiteral("Text 3"), &TSlowCwForm::Text31Click);
    item(Text1, Text41, "Text41", QStringLiteral("Text 4"), &TSlowCwForm::Text41Click);
    item(Text1, Text51, "Text51", QStringLiteral("Text 5"), &TSlowCwForm::Text51Click);
    item(Text1, Text61, "Text61", QStringLiteral("Text 6"), &TSlowCwForm::Text61Click);
    item(Text1, Text71, "Text71", QStringLiteral("Text 7"), &TSlowCwForm::Text71Click);
    item(Text1, Text81, "Text81", QStringLiteral("Text 8"), &TSlowCwForm::Text81Click);
    item(Text1, Text91, "Text91", QStringLiteral("Text 9"), &TSlowCwForm::Text91Click);
    item(Text1, Text101, "Text101", QStringLiteral("Text 10"), &TSlowCwForm::Text101Click);
    item(Text1, TextStart, "TextStart", QStringLiteral("Start ID"), &TSlowCwForm::TextStartClick);
    item(Text1, TextStop, "TextStop", QStringLiteral("Stop ID"), &TSlowCwForm::TextStopClick);
    Text1->addSeparator();
    item(Text1, TextPreview, "TextPreview", QStringLiteral("Grabber preview"), &TSlowCwForm::TextPreviewClick);

    StartMenu = menu("StartMenu", QStringLiteral("Start"));
    item(StartMenu, StartNow, "StartNow", QStringLiteral("Now"), &TSlowCwForm::StartNowClick);
    item(StartMenu, StartLater, "StartLater", QStringLiteral("Later"), &TSlowCwForm::StartLaterClick);
    item(StartMenu, StartTest, "StartTest", QStringLiteral("Test"), &TSlowCwForm::StartTestClick);
    item(StartMenu, StartQso, "StartQso", QStringLiteral("QSO"), &TSlowCwForm::StartQsoClick);

    Help1 = menu("Help1", QStringLiteral("Help"));
    item(Help1, Copyright, "Copyright", QStringLiteral("Copyright"), &TSlowCwForm::CopyrightClick);
    item(Help1, AboutVantrel, "AboutVantrel", QStringLiteral("About Vantrel"), &TSlowCwForm::AboutVantrelClick);
    item(Help1, Electronics, "Electronics", QStringLiteral("Interface"), &TSlowCwForm::ElectronicsClick);
    item(Help1, MoreAbout, "MoreAbout", QStringLiteral("More help"), &TSlowCwForm::MoreAboutClick);

    Exit1 = menuBar()->addAction(QStringLiteral("Exit"));
    Exit1->setObjectName(QStringLiteral("Exit1"));
    connect(Exit1, &QAction::triggered, this, &TSlowCwForm::Exit1Click);
}

void TSlowCwForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (activated_)
        return;
    activated_ = true;
    CentreOnScreen(this);
    // After the window has appeared, as activation follows the first show.
    QTimer::singleShot(0, this, [this] {
        FormActivate();
        TellSettingsNotice();
    });
}

void TSlowCwForm::TellSettingsNotice()
{
    // An auto start runs unattended: nothing may wait for a click before it.
    // Standard error has it already, which is all a headless run has.
    if (settingsNotice_.empty() || AutoStart || Headless)
        return;
    noticeShown_ = true;
    ShowMessageForm(QStringLiteral("Warning"), FromBytes(settingsNotice_), ButtonFaceColor(), false);
}

void TSlowCwForm::TellSaveResult(const SettingsSaveResult& result)
{
    // Once: what the start-up notice announced is not told again, nor what
    // standard error has just said to a headless run.
    if (Headless)
        return;
    if (!result.Saved && !(noticeShown_ && result.ReadOnly))
        ShowMessageForm(QStringLiteral("Error"), QStringLiteral("Settings not saved : ") + FromBytes(result.Problem),
                        ButtonFaceColor(), false);
    else if (result.Saved && !result.KeptAs.empty() && !noticeShown_)
        ShowMessageForm(QStringLiteral("Warning"),
                        FromBytes(std::string(kSettingsFileName) + " had the wrong length : it is kept as " + result.KeptAs),
                        ButtonFaceColor(), false);
}

void TSlowCwForm::FormActivate()
{
    if (PortNumber == kPortNone)
        return;
    RunKind = kRunOpenPort;
    if (AutoStart) {
        OpenSelectedPort();
        // Key and PTT off, as the transmit window does after its opening.
        SetKey(false);
        SetPtt(false);
    } else {
        KeyForm->exec();
    }
}

void TSlowCwForm::ClockTimerTimer()
{
    if (!isMinimized())
        setWindowTitle(MainCaption(clock_.Now()));
    if (AutoStart) {
        AutoStart = false;
        StartNowClick();
    }
}

void TSlowCwForm::SetupComClick() { ComForm->exec(); }

void TSlowCwForm::SetupSpeedClick()
{
    EditDotLength = DotLength;
    EditKeyGap = -1;
    SpeedForm->exec();
    DotLength = EditDotLength;
}

void TSlowCwForm::SetupTextClick() { SelTextForm->exec(); }
void TSlowCwForm::SetupRepeatClick() { RepeatForm->exec(); }
void TSlowCwForm::SetupQskClick() { QskForm->exec(); }
void TSlowCwForm::SetupModeClick() { RatioForm->exec(); }
void TSlowCwForm::SetupWarnClick() { WarnForm->exec(); }
void TSlowCwForm::SetupSoundClick() { ToneForm->exec(); }
void TSlowCwForm::SetupDfcwClick() { FSKForm->exec(); }
void TSlowCwForm::SetupIdClick() { CwIdForm->exec(); }
void TSlowCwForm::SetupSyncClick() { SyncForm->exec(); }

std::string TSlowCwForm::EditText(int n, const QString& caption)
{
    auto& text = Texts[static_cast<std::size_t>(n)];
    TextForm->TextEdit->setText(FromBytes(text));
    TextForm->setWindowTitle(caption);
    TextForm->exec();
    // However the dialog closed: Cancel has put the old text back.
    text = Short(ToBytes(TextForm->TextEdit->text()));
    return text;
}

void TSlowCwForm::EditMessageText(int n)
{
    EditText(n, QStringLiteral("Change Text ") + QString::number(n));
}

void TSlowCwForm::TextStartClick()
{
    EditingId = true;
    StartId.Text = EditText(kStartIdText, QStringLiteral("Change Start ID"));
    EditingId = false;
}

void TSlowCwForm::TextStopClick()
{
    EditingId = true;
    StopId.Text = EditText(kStopIdText, QStringLiteral("Change Stop ID"));
    EditingId = false;
}

void TSlowCwForm::StartNowClick() { StartTransmission(true); }

void TSlowCwForm::TextPreviewClick()
{
    if (PreviewForm == nullptr)
        PreviewForm = new TPreviewForm(clock_, this);
    PreviewForm->show();
    PreviewForm->raise();
    PreviewForm->activateWindow();
}

bool TSlowCwForm::SelectedTextReady()
{
    const std::string problem = SelectedTextProblem();
    if (problem.empty())
        return true;
    ShowMessageForm(QStringLiteral("Error"), FromBytes(problem), ButtonFaceColor(), false);
    return false;
}

void TSlowCwForm::StartLaterClick()
{
    if (!SelectedTextReady())
        return;
    // The dialog refuses to close with times that are not valid, such as the
    // HH:MM:SS that a start now leaves, which no clock text ever equals.
    StartTimeForm->ExecForStart();
    if (DialogCancelled || !StartTimesValid())
        return;
    StartTransmission(false);
}

bool TSlowCwForm::StartTransmission(bool immediately)
{
    if (!SelectedTextReady())
        return false;
    if (const std::string problem = StartProblem(); !problem.empty()) {
        ShowMessageForm(QStringLiteral("Error"), FromBytes(problem), ButtonFaceColor(), false);
        return false;
    }
    StartImmediately = immediately;
    RunKind = kRunTransmit;
    ShowKeyFormHidden();
    return true;
}

void TSlowCwForm::ShowKeyFormHidden()
{
    ClockTimer->stop();
    hide();
    KeyForm->exec();
    show();
    ClockTimer->start();
}

void TSlowCwForm::StartTestClick()
{
    StartImmediately = true;
    RunKind = kRunTest;
    KeyForm->exec();
}

void TSlowCwForm::StartQsoClick()
{
    StartImmediately = true;
    RunKind = kRunQso;
    ShowKeyFormHidden();
}

void TSlowCwForm::CopyrightClick() { CopyrightForm->exec(); }
void TSlowCwForm::AboutVantrelClick() { AboutForm->exec(); }
void TSlowCwForm::ElectronicsClick() { InterfaceForm->exec(); }
void TSlowCwForm::MoreAboutClick() { MoreAboutForm->exec(); }

void TSlowCwForm::Exit1Click()
{
    ExitForm->exec();
    if (!DialogCancelled)
        close();
}

void TSlowCwForm::closeEvent(QCloseEvent* event)
{
    if (!closed_) {
        closed_ = true;
        FormClose();
    }
    event->accept();
}

void TSlowCwForm::FormClose()
{
    ClockTimer->stop();
    if (PortOpen) {
        RunKind = kRunReleasePort;
        KeyForm->exec();
    }
    ReleasePort();
    const SettingsSaveResult saved = SaveSettingsFile();
    PrintSaveResult(saved);
    TellSaveResult(saved);
}
