#include "previewform.h"

#include "clock/clock.h"
#include "dialogs/seltextform.h"
#include "keyform.h"
#include "keying/grabber.h"
#include "keying/preview.h"
#include "morse/duration.h"
#include "morse/morse.h"
#include "settings/settings.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

TPreviewForm* PreviewForm = nullptr;

namespace {

QString Seconds(std::int32_t ms) { return QString::number(ms / 1000.0, 'g', 6) + QStringLiteral(" s"); }

QString Counted(std::int64_t n, const char* one, const char* many)
{
    return QString::number(n) + QLatin1Char(' ') + QString::fromLatin1(n == 1 ? one : many);
}

QString ClockText(std::int64_t abs) { return FromBytes(ClockTextMs(abs).substr(0, 8)); }

} // namespace

std::string PreviewSettingsKey()
{
    std::string key = std::to_string(SelectedTextNumber()) + Texts[static_cast<std::size_t>(SelectedTextNumber())];
    for (const IdSetting* id : {&StartId, &StopId})
        key += '\n' + id->Text + ' ' + std::to_string(id->Enabled) + ' ' + std::to_string(id->Wpm);
    for (const double value : {double(DfcwMode), double(RatioCode), double(DotLength), double(KeyGap),
                               double(FskNormal), double(OmitKeyGaps), double(SyncPeriod), double(QskMode),
                               double(TxDelay), double(RxDelay), SidetoneFreq, DotToneFreq, DashToneFreq})
        key += ' ' + std::to_string(value);
    return key;
}

TPreviewForm::TPreviewForm(Clock& clock, QWidget* parent) : TForm(parent), clock_(clock)
{
    setObjectName(QStringLiteral("PreviewForm"));
    setWindowTitle(QStringLiteral("Grabber preview"));
    auto* layout = new QVBoxLayout(this);

    SummaryLabel = new QLabel(this);
    SummaryLabel->setObjectName(QStringLiteral("SummaryLabel"));
    SummaryLabel->setTextFormat(Qt::PlainText);
    SummaryLabel->setAccessibleName(QStringLiteral("Summary"));
    layout->addWidget(SummaryLabel);

    PictureScroll = new QScrollArea(this);
    PictureScroll->setObjectName(QStringLiteral("PictureScroll"));
    PictureScroll->setAccessibleName(QStringLiteral("Grabber picture"));
    PictureScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    PictureScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    PictureLabel = new QLabel;
    PictureLabel->setObjectName(QStringLiteral("PictureLabel"));
    PictureLabel->setAccessibleName(QStringLiteral("Grabber picture"));
    PictureScroll->setWidget(PictureLabel);
    layout->addWidget(PictureScroll);

    auto* row = new QHBoxLayout;
    const auto spin = [&](QLabel*& label, QSpinBox*& box, const char* name, const QString& caption, int min,
                          int max, int value) {
        label = new QLabel(caption + QStringLiteral(" :"), this);
        label->setObjectName(QString::fromLatin1(name) + QStringLiteral("Label"));
        box = new QSpinBox(this);
        box->setObjectName(QString::fromLatin1(name) + QStringLiteral("SpinBox"));
        box->setRange(min, max);
        box->setValue(value);
        box->setKeyboardTracking(false);
        box->setAccessibleName(caption);
        label->setBuddy(box);
        connect(box, &QSpinBox::valueChanged, this, &TPreviewForm::Redraw);
        row->addWidget(label);
        row->addWidget(box);
    };
    const keying::GrabberOptions defaults;
    spin(FrameLabel, FrameSpinBox, "Frame", QStringLiteral("Frame (minutes)"), 1, 60, defaults.frameMinutes);
    spin(WidthLabel, WidthSpinBox, "Width", QStringLiteral("Frame width (pixels)"), 60, 4000, defaults.frameWidth);
    WidthSpinBox->setSingleStep(100);

    ShiftCheckBox = new QCheckBox(QStringLiteral("Keyed transmitter, DFCW shift (Hz) :"), this);
    ShiftCheckBox->setObjectName(QStringLiteral("ShiftCheckBox"));
    ShiftCheckBox->setToolTip(QStringLiteral("The carrier moves by this much while the DFCW line is high; "
                                             "otherwise DFCW shows at the sound's dot and dash tones"));
    ShiftSpinBox = new QDoubleSpinBox(this);
    ShiftSpinBox->setObjectName(QStringLiteral("ShiftSpinBox"));
    ShiftSpinBox->setRange(-10000, 10000);
    ShiftSpinBox->setDecimals(1);
    ShiftSpinBox->setValue(5);
    ShiftSpinBox->setKeyboardTracking(false);
    ShiftSpinBox->setEnabled(false);
    ShiftSpinBox->setAccessibleName(QStringLiteral("DFCW shift (Hz)"));
    connect(ShiftCheckBox, &QCheckBox::toggled, this, [this](bool on) {
        ShiftSpinBox->setEnabled(on);
        Redraw();
    });
    connect(ShiftSpinBox, &QDoubleSpinBox::valueChanged, this, &TPreviewForm::Redraw);
    row->addWidget(ShiftCheckBox);
    row->addWidget(ShiftSpinBox);
    row->addStretch();
    CloseBitBtn = MakeButton(QStringLiteral("Close"), Rejected);
    CloseBitBtn->setObjectName(QStringLiteral("CloseBitBtn"));
    SetCancelButton(CloseBitBtn);
    row->addWidget(CloseBitBtn);
    layout->addLayout(row);

    // The settings have no change signal: the dialogs write them in place.
    WatchTimer = new QTimer(this);
    WatchTimer->setInterval(500);
    connect(WatchTimer, &QTimer::timeout, this, &TPreviewForm::WatchTimerTimer);
    WatchTimer->start();
}

TPreviewForm::~TPreviewForm()
{
    if (PreviewForm == this)
        PreviewForm = nullptr;
}

void TPreviewForm::FormActivate() { Redraw(); }

void TPreviewForm::WatchTimerTimer()
{
    // A preview run borrows the settings and takes the UI thread for a moment:
    // never while the transmit window keys.
    if (!isVisible() || (KeyForm != nullptr && KeyForm->isVisible()))
        return;
    if (PreviewSettingsKey() != drawnFor_)
        Redraw();
}

void TPreviewForm::Redraw()
{
    if (!isVisible() || (KeyForm != nullptr && KeyForm->isVisible()))
        return;
    drawnFor_ = PreviewSettingsKey();
    ++drawings_;

    // As if started at the next full minute.
    const double now = clock_.Now();
    std::int64_t day = static_cast<std::int64_t>(std::floor(now));
    std::int64_t ms = (DayMs(now) / 60000 + 1) * 60000;
    if (ms >= 86400000) {
        ++day;
        ms -= 86400000;
    }
    const keying::TransmissionPreview run = keying::PreviewTransmission(day, ms);
    const double shift = ShiftSpinBox->value();
    const keying::GrabberTones tones = keying::TonesOfSettings(ShiftCheckBox->isChecked() ? &shift : nullptr);
    keying::GrabberOptions options;
    options.frameMinutes = FrameSpinBox->value();
    options.frameWidth = WidthSpinBox->value();
    options.utcOffsetMs = std::int64_t{QDateTime::currentDateTime().offsetFromUtc()} * 1000;
    const keying::GrabberPicture picture =
        keying::RenderGrabber(keying::MarksOf(run.events, tones, run.endAbs), tones, run.startAbs, run.endAbs, options);
    const QImage image(picture.rgb.data(), picture.width, picture.height, picture.width * 3, QImage::Format_RGB888);
    PictureLabel->setPixmap(QPixmap::fromImage(image));
    PictureLabel->resize(picture.width, picture.height);

    const int n = SelectedTextNumber();
    const std::string& text = Texts[static_cast<std::size_t>(n)];
    QString summary = QStringLiteral("Text ") + QString::number(n) + QStringLiteral(" : ") + FromBytes(RowText(text))
        + QStringLiteral("\n") + (DfcwMode ? QStringLiteral("DFCW, dot ") : QStringLiteral("QRSS, dot "))
        + Seconds(DotLength) + (DfcwMode ? QStringLiteral(", key gap ") + Seconds(KeyGap) : QString())
        + QStringLiteral(", duration : ") + FromBytes(DurationText(TextDuration(text, DotLength, KeyGap, 0)))
        + QStringLiteral("\n");
    const QString frame = Counted(options.frameMinutes, "minute", "minutes");
    if (run.firstKey < 0) {
        summary += QStringLiteral("Started at ") + ClockText(run.startAbs) + QStringLiteral(", nothing is keyed");
    } else {
        const keying::FrameSpan span =
            keying::FramesOf(run.firstKey, run.lastKey, options.frameMinutes, options.utcOffsetMs);
        summary += QStringLiteral("Started at ") + ClockText(run.startAbs) + QStringLiteral(", keyed from ")
            + ClockText(run.firstKey) + QStringLiteral(" to ") + ClockText(run.lastKey) + QStringLiteral(" : ")
            + Counted(span.frames, "frame", "frames") + QStringLiteral(" of ") + frame;
    }
    if (picture.frames < picture.framesInRun)
        summary += QStringLiteral(" (the first ") + QString::number(picture.frames) + QStringLiteral(" shown)");
    SummaryLabel->setText(summary);
    PictureLabel->setAccessibleDescription(summary);

    const int frameLine = 2 * PictureScroll->frameWidth();
    PictureScroll->setFixedHeight(picture.height + PictureScroll->horizontalScrollBar()->sizeHint().height() + frameLine);
    PictureScroll->setMinimumWidth(std::min(picture.width + frameLine, ScreenRoom() - 60));
    adjustSize();
}
