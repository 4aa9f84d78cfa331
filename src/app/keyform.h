// TKeyForm: the transmit window. It owns the keying engine and KeyTimer,
// forwards ticks, buttons and menus to the engine, and renders the engine's
// display record after every call; no keying decision is made here.
// RunKind says what a showing does: transmit, open or release the port, the
// transmitter test, or QSO mode.
#pragma once

#include "widgets/form.h"
#include "keying/engine.h"
#include "keying/lines.h"
#include "tonegen/toneoutput.h"

class QAction;
class QComboBox;
class QLabel;
class QMenuBar;
class QPushButton;
class QTimer;
class QWidget;

class TKeyForm : public TForm {
    Q_OBJECT
public:
    TKeyForm(Clock& clock, ToneOutput& myTone, ToneOutput& fastTone, QWidget* parent = nullptr);

    QMenuBar* KeyMenu;
    QAction *SpeedMenu, *StartMenu;
    QLabel *TextLabel, *GrayLabel, *BlueLabel, *MsgLabel, *RepeatLabel, *BlackLabel, *StatusLabel,
        *ClockLabel;
    QPushButton* CancelBitBtn;
    QPushButton *PushPttButton, *ReleasePttButton, *PushKeyButton, *ReleaseKeyButton;
    QPushButton* TxBitBtn;
    QComboBox* TextComboBox;
    // Single-shot, re-armed after every tick onto the local clock's tenths.
    QTimer* KeyTimer;

    keying::KeyEngine& Engine() { return engine_; }
    // False in tests that call KeyTimerTimer themselves on a simulated clock.
    bool TimerDriven = true;
    void KeyTimerTimer();
    void done(int result) override;
    void CancelForEnd() override;

protected:
    void FormActivate() override;
    bool FormCloseQuery() override { return engine_.R.CloseAllowed; }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LayOut();
    void FitStaticTexts();
    void FitToTexts();
    // Places what the window's width centres or fills, the buttons' row at `buttonTop`.
    void PlaceInWidth(int buttonTop);
    void ScrollText();
    void OpenPortRun();
    void ReleasePortRun();
    QString PortText() const;
    void ShowOkButton();
    void Render();
    void RenderWidgets();
    void ScheduleTick();
    void CancelBitBtnClick();
    void TxBitBtnClick();
    void SpeedMenuClick();
    void StartMenuClick();
    void TextComboBoxEnter();
    void TextComboBoxChange();
    void ShowDuration();
    QString EditText() const;

    Clock& clock_;
    PortLines lines_;
    keying::KeyEngine engine_;
    QWidget* body_;          // everything below the QSO menu
    QWidget* textView_;      // clips the progress labels
    bool okKind_ = false;    // the bottom button is "OK" (port runs)
    bool checking_ = false;  // an invalid-character message is up
};

extern TKeyForm* KeyForm;

// Milliseconds from `msOfDay` to the next whole tenth of a second plus the
// offset at which ticks are placed (so that they fall just after it).
int MsToNextTenth(std::int64_t msOfDay, int offsetMs);
