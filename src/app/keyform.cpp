#include "keyform.h"

#include "headless.h"

#include "msgform.h"
#include "uppercaseedit.h"
#include "dialogs/speedform.h"
#include "dialogs/starttimeform.h"
#include "io/portdevices.h"
#include "io/portdriver.h"
#include "morse/duration.h"
#include "morse/morse.h"
#include "settings/settings.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

TKeyForm* KeyForm = nullptr;

namespace {

constexpr int kWidth = 762, kClientHeight = 134, kTitleBar = 34;
// Ticks fall this long after each tenth of a second of the local clock.
constexpr int kTickOffsetMs = 2;

QLabel* Label(QWidget* parent, const QString& text, int x, int y, const QColor& colour = {})
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->move(x, y);
    if (colour.isValid()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, colour);
        label->setPalette(palette);
    }
    return label;
}

// Sets a label's text and width to fit it; the progress labels lie on top of
// each other, so each must be exactly as wide as its own text.
void SetText(QLabel* label, const std::string& text)
{
    label->setText(FromBytes(text));
    label->adjustSize();
}

} // namespace

int MsToNextTenth(std::int64_t msOfDay, int offsetMs)
{
    std::int64_t target = msOfDay / 100 * 100 + offsetMs;
    if (target <= msOfDay)
        target += 100;
    return static_cast<int>(target - msOfDay);
}

TKeyForm::TKeyForm(Clock& clock, ToneOutput& myTone, ToneOutput& fastTone, QWidget* parent)
    : TForm(parent), clock_(clock), engine_(clock, lines_, myTone, fastTone)
{
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);
    KeyMenu = new QMenuBar(this);
    SpeedMenu = KeyMenu->addAction(QStringLiteral("Dot length"));
    StartMenu = KeyMenu->addAction(QStringLiteral("Start time"));
    connect(SpeedMenu, &QAction::triggered, this, &TKeyForm::SpeedMenuClick);
    connect(StartMenu, &QAction::triggered, this, &TKeyForm::StartMenuClick);

    body_ = new QWidget(this);
    TextLabel = Label(body_, QStringLiteral("Text : "), 12, 12);
    GrayLabel = Label(body_, {}, 80, 12, Qt::gray);
    BlueLabel = Label(body_, {}, 80, 12, Qt::blue);
    MsgLabel = Label(body_, {}, 64, 44);
    MsgLabel->resize(683, MsgLabel->sizeHint().height());
    MsgLabel->setAlignment(Qt::AlignCenter);
    RepeatLabel = Label(body_, QStringLiteral("Repeat text :"), 12, 76);
    BlackLabel = Label(body_, {}, 80, 12, Qt::black);
    StatusLabel = Label(body_, QStringLiteral("Status : "), 12, 44);
    ClockLabel = Label(body_, QStringLiteral("12:34:56"), 12, 108);

    CancelBitBtn = new QPushButton(QStringLiteral("Cancel"), body_);
    connect(CancelBitBtn, &QPushButton::clicked, this, &TKeyForm::CancelBitBtnClick);
    SetCancelButton(CancelBitBtn);
    const auto button = [this](const QString& caption, int x, void (keying::KeyEngine::*action)()) {
        auto* b = new QPushButton(caption, body_);
        b->setGeometry(x, 40, 100, 28);
        connect(b, &QPushButton::clicked, this, [this, action] {
            (engine_.*action)();
            Render();
        });
        return b;
    };
    PushPttButton = button(QStringLiteral("Push PTT"), 160, &keying::KeyEngine::PushPtt);
    ReleasePttButton = button(QStringLiteral("Release PTT"), 270, &keying::KeyEngine::ReleasePtt);
    PushKeyButton = button(QStringLiteral("Push key"), 390, &keying::KeyEngine::PushKey);
    ReleaseKeyButton = button(QStringLiteral("Release key"), 500, &keying::KeyEngine::ReleaseKey);
    FitStaticTexts();
    TxBitBtn = new QPushButton(QStringLiteral("TX"), body_);
    TxBitBtn->setGeometry(253, 102, 80, 26);
    connect(TxBitBtn, &QPushButton::clicked, this, &TKeyForm::TxBitBtnClick);

    TextComboBox = new QComboBox(body_);
    TextComboBox->setEditable(true);
    auto* edit = new UpperCaseEdit(TextComboBox);
    edit->setMaxLength(static_cast<int>(kTextMax));
    TextComboBox->setLineEdit(edit);
    TextComboBox->setInsertPolicy(QComboBox::NoInsert);
    TextComboBox->setGeometry(77, 6, 670, 26);
    edit->installEventFilter(this);
    TextComboBox->installEventFilter(this);
    connect(TextComboBox, &QComboBox::editTextChanged, this, &TKeyForm::TextComboBoxChange);

    KeyTimer = new QTimer(this);
    KeyTimer->setSingleShot(true);
    KeyTimer->setTimerType(Qt::PreciseTimer);
    connect(KeyTimer, &QTimer::timeout, this, &TKeyForm::KeyTimerTimer);
}

bool TKeyForm::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == TextComboBox || watched == TextComboBox->lineEdit()) && event->type() == QEvent::KeyPress) {
        // Return belongs to the edit line: it must neither press the
        // window's default button (Cancel) nor drop the typed line.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            TextComboBoxChange();
            return true;
        }
    }
    if (watched == TextComboBox && event->type() == QEvent::FocusIn)
        TextComboBoxEnter();
    if (watched == TextComboBox->lineEdit()) {
        if (event->type() == QEvent::FocusIn)
            TextComboBoxEnter();
        else if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
            TextComboBoxChange();
    }
    return TForm::eventFilter(watched, event);
}

void TKeyForm::FormActivate()
{
    engine_.Prepare();
    LayOut();
    Render();
    if (RunKind == kRunOpenPort)
        QTimer::singleShot(0, this, [this] {
            OpenPortRun();
            FitToTexts();
        });
    else if (RunKind == kRunReleasePort)
        QTimer::singleShot(0, this, [this] {
            ReleasePortRun();
            FitToTexts();
        });
}

void TKeyForm::FitStaticTexts()
{
    // The progress labels start after "Text : ", the test buttons each as
    // wide as its caption, 10 pixels apart.
    TextLabel->adjustSize();
    const int textX = std::max(80, TextLabel->geometry().right() + 4);
    for (QLabel* label : {GrayLabel, BlueLabel, BlackLabel})
        label->move(textX, label->y());
    int x = PushPttButton->x();
    for (QPushButton* b : {PushPttButton, ReleasePttButton, PushKeyButton, ReleaseKeyButton}) {
        b->setGeometry(std::max(x, b->x()), b->y(), std::max(b->width(), b->sizeHint().width()), b->height());
        x = b->geometry().right() + 11;
    }
}

void TKeyForm::FitToTexts()
{
    // The design width is 762; longer texts widen the window, up to the
    // screen. It only grows while shown, so the changing status line cannot
    // make it jitter.
    FitToText(MsgLabel);
    MsgLabel->move(std::max(12, 64 + (683 - MsgLabel->width()) / 2), MsgLabel->y());
    const int wanted = std::min(SizeForChildren(body_, QSize(width(), 0)).width(), ScreenRoom());
    if (wanted <= width())
        return;
    body_->resize(wanted, body_->height());
    KeyMenu->resize(wanted, KeyMenu->height());
    setFixedSize(wanted, height());
    CentreOnScreen(this);
}

void TKeyForm::LayOut()
{
    const bool transmit = RunKind == kRunTransmit, qso = RunKind == kRunQso, test = RunKind == kRunTest;
    KeyMenu->setVisible(qso);
    const int menu = qso ? KeyMenu->sizeHint().height() : 0;
    KeyMenu->setGeometry(0, 0, kWidth, menu);
    body_->setGeometry(0, menu, kWidth, kClientHeight);
    // Outer heights 168 and 188 less the title bar.
    setFixedSize(kWidth, (qso ? 188 : 168) - kTitleBar + (qso ? menu - 20 : 0));

    for (QLabel* label : {GrayLabel, BlueLabel, BlackLabel, MsgLabel, StatusLabel})
        label->clear();
    TextLabel->setVisible(transmit || qso);
    ClockLabel->setVisible(transmit || qso);
    RepeatLabel->setVisible(transmit);
    MsgLabel->setVisible(RunKind == kRunOpenPort || RunKind == kRunReleasePort);

    okKind_ = RunKind == kRunOpenPort || RunKind == kRunReleasePort;
    CancelBitBtn->setText(okKind_ ? QStringLiteral("OK") : QStringLiteral("Cancel"));
    CancelBitBtn->setGeometry(qso ? 429 : 341, 102, 80, 26);
    CancelBitBtn->setVisible(!okKind_);
    for (QPushButton* b : {PushPttButton, ReleasePttButton, PushKeyButton, ReleaseKeyButton})
        b->setVisible(test);

    // Filling the list is no edit of the operator's: no check runs on it.
    const QSignalBlocker quiet(TextComboBox);
    TextComboBox->clear();
    for (int k = 1; k <= 12; ++k)
        TextComboBox->addItem(FromBytes(Texts[static_cast<std::size_t>(k)]));
    TextComboBox->setEditText(qso ? FromBytes(engine_.R.Message) : QString());
    StartMenu->setEnabled(true);
    // The operator types at once; the Cancel button holds no focus that
    // Return could press.
    if (qso)
        TextComboBox->setFocus();
}

QString TKeyForm::PortText() const { return FromBytes(PortNameOf(PortNumber)); }

void TKeyForm::ShowOkButton()
{
    CancelBitBtn->setGeometry(341, 102, 80, 26);
    CancelBitBtn->show();
    CancelBitBtn->setFocus();
}

void TKeyForm::OpenPortRun()
{
    const QString port = PortText();
    ShowMessageForm(QStringLiteral("---  WARNING  ---  WARNING  --- WARNING  --- WARNING  ---"),
                    QStringLiteral("Port outputs can be unstable during initialisation of ") + port
                        + QStringLiteral(", beware of unintentional transmitting !"),
                    Qt::red, true);
    if (DialogCancelled) {
        MsgLabel->setText(QStringLiteral("Initialisation of ") + port + QStringLiteral(" Cancelled"));
        PortOpen = false;
    } else {
        OpenSelectedPort();
        if (PortOpen) {
            MsgLabel->setText(QStringLiteral("Initialisation of ") + port + QStringLiteral(" successful"));
            SetKey(false);
            SetPtt(false);
        } else {
            // Why, under the result. PortNumber keeps the user's choice for the
            // settings file: this run goes on without a port, the next start tries again.
            const std::string why = Devices().LastOpenFailure();
            MsgLabel->setText(QStringLiteral("Initialisation of ") + port + QStringLiteral(" failed")
                              + (why.empty() ? QString() : QStringLiteral("\n") + QString::fromStdString(why)));
        }
    }
    MsgLabel->setWordWrap(true); // a long reason wraps within the window
    MsgLabel->adjustSize();
    ShowOkButton();
}

void TKeyForm::ReleasePortRun()
{
    const QString port = PortText();
    SetKey(false);
    SetPtt(false);
    CloseSelectedPort();
    MsgLabel->setText(QStringLiteral("Release of ") + port
                      + (PortOpen ? QStringLiteral(" failed") : QStringLiteral(" successful")));
    ShowOkButton();
    PortOpen = false;
}

void TKeyForm::ScheduleTick()
{
    if (!TimerDriven)
        return;
    // On the local clock's grid: the engine's instants are whole tenths of
    // that clock, so a tick just after each tenth meets them within a few ms.
    // Placing every tick anew keeps them there however the timer drifts.
    KeyTimer->start(MsToNextTenth(DayMs(clock_.Now()), kTickOffsetMs));
}

void TKeyForm::KeyTimerTimer()
{
    // Armed first: ticks that come during a fast identification refresh the clock.
    if (engine_.KeyTimerEnabled)
        ScheduleTick();
    engine_.KeyTimerTimer();
    Render();
}

void TKeyForm::Render()
{
    // Headless nobody sees the window: its texts are not laid out every tick.
    if (!Headless)
        RenderWidgets();
    if (!engine_.KeyTimerEnabled)
        KeyTimer->stop();
    else if (!KeyTimer->isActive())
        ScheduleTick();
    if (engine_.Display.CloseRequested) {
        engine_.Display.CloseRequested = false;
        done(Accepted);
    }
}

void TKeyForm::RenderWidgets()
{
    const keying::EngineDisplay& d = engine_.Display;
    if (!d.Title.empty())
        setWindowTitle(FromBytes(d.Title));
    SetText(StatusLabel, d.Status);
    StatusLabel->setVisible(d.StatusVisible);
    SetText(RepeatLabel, d.Repeat);
    SetText(GrayLabel, d.Gray);
    SetText(BlueLabel, d.Blue);
    SetText(BlackLabel, d.Black);
    GrayLabel->setVisible(d.GrayVisible);
    BlueLabel->setVisible(d.BlueVisible);
    BlackLabel->setVisible(d.BlackVisible);
    if (!d.Clock.empty())
        SetText(ClockLabel, d.Clock);
    FitToTexts();
    if (RunKind == kRunQso) {
        TxBitBtn->setText(FromBytes(d.TxCaption));
        TxBitBtn->setVisible(d.TxVisible);
        TextComboBox->setVisible(d.EditVisible);
        StartMenu->setEnabled(d.StartMenuEnabled);
    } else {
        TxBitBtn->hide();
        TextComboBox->hide();
    }
}

void TKeyForm::CancelBitBtnClick()
{
    engine_.Cancel();
    if (RunKind == kRunQso)
        TextComboBox->show();
    done(okKind_ ? Accepted : Rejected);
}

void TKeyForm::done(int result)
{
    TForm::done(result);
    if (isVisible())
        return;
    // FormClose.
    KeyTimer->stop();
    engine_.Close();
}

QString TKeyForm::EditText() const { return TextComboBox->currentText(); }

void TKeyForm::TxBitBtnClick()
{
    engine_.TxClick(ToBytes(EditText()));
    Render();
}

void TKeyForm::SpeedMenuClick()
{
    EditDotLength = engine_.R.CurrentDot;
    EditKeyGap = DfcwMode ? engine_.R.CurrentKeyGap : -1;
    SpeedForm->exec();
    engine_.SetQsoDot(EditDotLength, EditKeyGap);
    Render();
}

void TKeyForm::StartMenuClick() { StartTimeForm->exec(); }

void TKeyForm::ShowDuration()
{
    // Kept in the display record, which every tick renders again, so the
    // duration stays until the next edit or transmission.
    keying::EngineDisplay& d = engine_.Display;
    d.Status = "Duration : " + DurationText(TextDuration(ToBytes(EditText()), engine_.R.CurrentDot, KeyGap, 0));
    d.StatusVisible = true;
    SetText(StatusLabel, d.Status);
    StatusLabel->show();
}

void TKeyForm::TextComboBoxEnter()
{
    if (RunKind == kRunQso && !checking_)
        ShowDuration();
}

void TKeyForm::TextComboBoxChange()
{
    if (RunKind != kRunQso || checking_)
        return;
    const std::string text = ToBytes(EditText());
    const char invalid = FirstInvalidChar(text);
    if (invalid == ' ') {
        ShowDuration();
        return;
    }
    checking_ = true;
    ShowMessageForm(QStringLiteral("Error"),
                    FromBytes(std::string(1, invalid)) + QStringLiteral(" is an invalid CW character"),
                    ButtonFaceColor(), false);
    checking_ = false;
}
