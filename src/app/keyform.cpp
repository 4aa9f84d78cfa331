#include "keyform.h"

#include "headless.h"
#include "widgets/msgform.h"
#include "widgets/typinglimit.h"
#include "widgets/uppercaseedit.h"
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

#include <algorithm>
#include <initializer_list>

TKeyForm* KeyForm = nullptr;

namespace {

constexpr int kWidth = 762, kClientHeight = 134, kTitleBar = 34, kMargin = 12;
// Tops of the bottom buttons' row and of the port result.
constexpr int kButtonTop = 102, kMsgTop = 44;
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
    // The progress labels lie on top of each other in a strip that clips
    // them: a text wider than the screen scrolls in it.
    textView_ = new QWidget(body_);
    GrayLabel = Label(textView_, {}, 0, 0, Qt::gray);
    BlueLabel = Label(textView_, {}, 0, 0, Qt::blue);
    BlackLabel = Label(textView_, {}, 0, 0, Qt::black);
    MsgLabel = Label(body_, {}, 64, kMsgTop);
    MsgLabel->setAlignment(Qt::AlignCenter);
    RepeatLabel = Label(body_, QStringLiteral("Repeat text :"), 12, 76);
    StatusLabel = Label(body_, QStringLiteral("Status : "), 12, 44);
    ClockLabel = Label(body_, QStringLiteral("12:34:56"), 12, 108);

    CancelBitBtn = new QPushButton(QStringLiteral("Cancel"), body_);
    CancelBitBtn->resize(80, 26);
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
    LimitTyping(edit, static_cast<int>(kTextMax));
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
    // wide as its caption.
    TextLabel->adjustSize();
    textView_->move(std::max(80, TextLabel->geometry().right() + 4), 12);
    for (QPushButton* b : {PushPttButton, ReleasePttButton, PushKeyButton, ReleaseKeyButton})
        b->resize(std::max(b->width(), b->sizeHint().width()), b->height());
}

void TKeyForm::FitToTexts()
{
    // The design width is 762; longer texts widen the window, up to the
    // screen. It only grows while shown, so the changing status line cannot
    // make it jitter.
    const int room = ScreenRoom();
    const bool message = MsgLabel->isVisibleTo(body_);
    if (message)
        FitLabel(MsgLabel, 683, room - 2 * kMargin);
    int wanted = width();
    const auto need = [&wanted, room](int w) { wanted = std::max(wanted, std::min(w, room)); };
    for (QLabel* label : {TextLabel, StatusLabel, RepeatLabel, ClockLabel})
        if (label->isVisibleTo(body_))
            need(label->geometry().right() + 1 + kMargin);
    if (GrayLabel->isVisibleTo(textView_))
        need(textView_->x() + GrayLabel->width() + kMargin);
    if (message)
        need(MsgLabel->width() + 2 * kMargin);
    // A result of several lines puts the OK button below it.
    const int buttonTop = message ? std::max(kButtonTop, MsgLabel->y() + MsgLabel->height() + 8) : kButtonTop;
    const int bodyHeight = std::max(kClientHeight, buttonTop + CancelBitBtn->height() + 6);
    if (wanted > width() || bodyHeight > body_->height()) {
        body_->resize(wanted, std::max(body_->height(), bodyHeight));
        KeyMenu->resize(wanted, KeyMenu->height());
        setFixedSize(wanted, body_->y() + body_->height());
        CentreOnScreen(this);
    }
    PlaceInWidth(buttonTop);
}

void TKeyForm::PlaceInWidth(int buttonTop)
{
    const int w = body_->width();
    textView_->resize(w - textView_->x() - kMargin, std::max(GrayLabel->height(), fontMetrics().height()));
    ScrollText();
    MsgLabel->move((w - MsgLabel->width()) / 2, kMsgTop);
    // The buttons stay in the middle as the design has them: TX and Cancel
    // as a pair in QSO mode, the test buttons in two pairs.
    const int shift = (w - kWidth) / 2;
    if (RunKind == kRunQso) {
        TxBitBtn->move(253 + shift, buttonTop);
        CancelBitBtn->move(429 + shift, buttonTop);
    } else {
        CancelBitBtn->move((w - CancelBitBtn->width()) / 2, buttonTop);
    }
    const std::initializer_list<QPushButton*> row{PushPttButton, ReleasePttButton, PushKeyButton, ReleaseKeyButton};
    int x = w - 40; // 10 pixels within each pair, 20 between them
    for (const QPushButton* b : row)
        x -= b->width();
    x /= 2;
    for (QPushButton* b : row) {
        b->move(x, b->y());
        x += b->width() + (b == ReleasePttButton ? 20 : 10);
    }
}

void TKeyForm::ScrollText()
{
    // A text wider than its strip scrolls so that the character being sent
    // stands a third into it, with what was sent before it still in view.
    const int view = textView_->width(), whole = GrayLabel->width();
    int offset = 0;
    if (whole > view && BlueLabel->isVisibleTo(textView_)) {
        const int sent = BlackLabel->isVisibleTo(textView_) ? BlackLabel->width() : 0;
        offset = std::clamp(sent - view / 3, 0, whole - view);
    }
    for (QLabel* label : {GrayLabel, BlueLabel, BlackLabel})
        label->move(-offset, 0);
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
    // Return could press. The line is shown first: the focus call does
    // nothing on a line still hidden by the window's previous job.
    TextComboBox->setVisible(qso);
    TxBitBtn->setVisible(qso);
    if (qso)
        TextComboBox->setFocus();
}

QString TKeyForm::PortText() const { return FromBytes(PortNameOf(PortNumber)); }

void TKeyForm::ShowOkButton()
{
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
            const std::string why = PortOpenFailure();
            MsgLabel->setText(QStringLiteral("Initialisation of ") + port + QStringLiteral(" failed")
                              + (why.empty() ? QString() : QStringLiteral("\n") + QString::fromStdString(why)));
        }
    }
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

void TKeyForm::CancelForEnd()
{
    // No Cancel of the operator's: the engine's lines are off already, and
    // the transmission log has the signal as the stop.
    DialogCancelled = true;
    KeyTimer->stop();
    engine_.Close();
    QDialog::done(Rejected);
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
    d.Status = "Duration : " + DurationText(TextDuration(ToBytes(EditText()), engine_.R.CurrentDot, HeldKeyGap(), 0));
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
