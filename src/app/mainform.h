// TSlowCwForm: the main window. It owns the settings' lifetime (loaded when it
// is created, saved when it closes), shows the clock in its title, and hands
// every job to the transmit window through RunKind and StartImmediately.
#pragma once

#include <QMainWindow>

#include <string>
#include <vector>

class Clock;
class QAction;
class QLabel;
class QMenu;
class QTimer;
struct SettingsSaveResult;

class TSlowCwForm : public QMainWindow {
    Q_OBJECT
public:
    // `args` is the command line without the program name.
    TSlowCwForm(Clock& clock, const std::vector<std::string>& args, QWidget* parent = nullptr);

    QMenu* SetupMenu;
    QAction *SetupCom, *SetupSpeed, *SetupText, *SetupRepeat, *SetupQsk, *SetupMode, *SetupWarn,
        *SetupSound, *SetupDfcw, *SetupId, *SetupSync;
    QMenu* Text1;
    QAction *Text11, *Text21, *Text31, *Text41, *Text51, *Text61, *Text71, *Text81, *Text91,
        *Text101, *TextStart, *TextStop;
    QAction* TextPreview; // after the Text menu's own items
    QMenu* StartMenu;
    QAction *StartNow, *StartLater, *StartTest, *StartQso;
    QMenu* Help1;
    QAction *Copyright, *AboutVantrel, *Electronics, *MoreAbout;
    QAction* Exit1;
    QLabel* VantrelImage;
    QTimer* ClockTimer;

    void ClockTimerTimer();
    // False, after telling the user, when the selected text is empty or it
    // and the enabled identifications have nothing to key: Start Now, Start
    // Later, the auto start and the headless run then start nothing.
    bool SelectedTextReady();

    void SetupComClick();
    void SetupSpeedClick();
    void SetupTextClick();
    void SetupRepeatClick();
    void SetupQskClick();
    void SetupModeClick();
    void SetupWarnClick();
    void SetupSoundClick();
    void SetupDfcwClick();
    void SetupIdClick();
    void SetupSyncClick();
    void Text11Click() { EditMessageText(1); }
    void Text21Click() { EditMessageText(2); }
    void Text31Click() { EditMessageText(3); }
    void Text41Click() { EditMessageText(4); }
    void Text51Click() { EditMessageText(5); }
    void Text61Click() { EditMessageText(6); }
    void Text71Click() { EditMessageText(7); }
    void Text81Click() { EditMessageText(8); }
    void Text91Click() { EditMessageText(9); }
    void Text101Click() { EditMessageText(10); }
    void TextStartClick();
    void TextStopClick();
    // The grabber preview window, created at its first use.
    void TextPreviewClick();
    void StartNowClick();
    void StartLaterClick();
    void StartTestClick();
    void StartQsoClick();
    void CopyrightClick();
    void AboutVantrelClick();
    void ElectronicsClick();
    void MoreAboutClick();
    void Exit1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormActivate();
    void FormClose();
    void BuildMenu();
    // The settings file's state at start-up and the save's outcome at exit,
    // each told in a window at most once.
    void TellSettingsNotice();
    void TellSaveResult(const SettingsSaveResult& result);
    // Shows the text dialog for Texts[n]; returns the text it leaves.
    std::string EditText(int n, const QString& caption);
    void EditMessageText(int n);
    // Start Now and Start Later after the start-time dialog; false when the
    // start was refused (the user has been told why).
    bool StartTransmission(bool immediately);

    // The transmit window for RunKind 0 or 4, with this window hidden meanwhile.
    void ShowKeyFormHidden();

    Clock& clock_;
    bool activated_ = false;
    bool closed_ = false; // the settings are saved once
    std::string settingsNotice_;
    bool noticeShown_ = false;
};

extern TSlowCwForm* SlowCwForm;

// The main window's caption for a date-time value.
QString MainCaption(double now);
