#include "moreaboutform.h"

#include "helptopics.h"
#include "more2form.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

TMoreAboutForm* MoreAboutForm = nullptr;

namespace {

struct TopicControl {
    std::uint8_t code;
    const char* name;
    void (TMoreAboutForm::*click)();
};

// The heading that stands beside the first label of its group.
const char* GroupHeading(std::uint8_t code)
{
    switch (code) {
    case 11: return "Setup :";
    case 21: return "Text :";
    case 31: return "Start :";
    case 41: return "Help :";
    default: return nullptr;
    }
}

// The two entries that stand at the left margin below the groups.
bool AtLeftMargin(std::uint8_t code) { return code == 50 || code == 60; }

// The grey bars of the topic labels; Exit and AutoStart have no background,
// AutoStart is blue. A label with the keyboard focus shows in the selection
// colours, so the index can be used from the keyboard as well.
void Colour(QLabel* label, std::uint8_t code, bool focused)
{
    QPalette palette = label->palette();
    if (focused) {
        palette.setColor(QPalette::Window, palette.color(QPalette::Active, QPalette::Highlight));
        palette.setColor(QPalette::WindowText, palette.color(QPalette::Active, QPalette::HighlightedText));
    } else {
        const QPalette window = label->parentWidget()->palette();
        palette.setColor(QPalette::Window,
                         AtLeftMargin(code) ? window.color(QPalette::Window) : QColor(192, 192, 192));
        palette.setColor(QPalette::WindowText, code == 60 ? QColor(Qt::blue) : QColor(Qt::black));
    }
    label->setPalette(palette);
    label->setAutoFillBackground(focused || !AtLeftMargin(code));
}

// Named after the handlers they call, in index order.
const TopicControl kControls[] = {
    {11, "ComLabel", &TMoreAboutForm::ComLabelClick},
    {12, "SpeedLabel", &TMoreAboutForm::SpeedLabelClick},
    {13, "TextLabel", &TMoreAboutForm::TextLabelClick},
    {14, "RepeatLabel", &TMoreAboutForm::RepeatLabelClick},
    {15, "QskLabel", &TMoreAboutForm::QskLabelClick},
    {16, "RatioLabel", &TMoreAboutForm::RatioLabelClick},
    {17, "AlarmLabel", &TMoreAboutForm::AlarmLabelClick},
    {18, "ToneLabel", &TMoreAboutForm::ToneLabelClick},
    {19, "DfcwLabel", &TMoreAboutForm::DfcwLabelClick},
    {110, "CwIdLabel", &TMoreAboutForm::CwIdLabelClick},
    {111, "SyncLabel", &TMoreAboutForm::SyncLabelClick},
    {21, "Text10Label", &TMoreAboutForm::Text10LabelClick},
    {31, "NowLabel", &TMoreAboutForm::NowLabelClick},
    {32, "LaterLabel", &TMoreAboutForm::LaterLabelClick},
    {33, "TestLabel", &TMoreAboutForm::TestLabelClick},
    {34, "QsoLabel", &TMoreAboutForm::QsoLabelClick},
    {41, "CopyrightLabel", &TMoreAboutForm::CopyrightLabelClick},
    {42, "AboutLabel", &TMoreAboutForm::AboutLabelClick},
    {43, "InterfaceLabel", &TMoreAboutForm::InterfaceLabelClick},
    {50, "ExitLabel", &TMoreAboutForm::ExitLabelClick},
    {60, "AutoStartLabel", &TMoreAboutForm::AutoStartLabelClick},
};

const TopicControl* ControlOf(const QObject* label)
{
    for (const TopicControl& control : kControls)
        if (label->objectName() == QLatin1String(control.name))
            return &control;
    return nullptr;
}

// A clickable topic label with its hint, hand cursor and colours; it takes
// the focus by Tab only, so that Cancel keeps it when the index opens.
QLabel* NewTopicLabel(QWidget* parent, const TopicControl& control)
{
    const HelpTopicEntry* topic = FindHelpTopic(control.code);
    auto* label = new QLabel(QString::fromLatin1(topic->label), parent);
    label->setObjectName(QString::fromLatin1(control.name));
    label->setToolTip(QString::fromLatin1(topic->hint));
    label->setCursor(Qt::PointingHandCursor);
    label->setContentsMargins(5, 2, 5, 2);
    Colour(label, control.code, false);
    label->setFocusPolicy(Qt::TabFocus);
    return label;
}

} // namespace

TMoreAboutForm::TMoreAboutForm(QWidget* parent) : TForm(parent)
{
    setWindowTitle(QStringLiteral("More help"));
    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(2);
    grid->setContentsMargins(16, 14, 16, 14);
    grid->setColumnMinimumWidth(1, 160);
    int row = 0;
    for (const TopicControl& control : kControls) {
        if (const char* heading = GroupHeading(control.code)) {
            if (row > 0)
                grid->setRowMinimumHeight(row++, 8);
            auto* headingLabel = new QLabel(QString::fromLatin1(heading), this);
            headingLabel->setContentsMargins(5, 0, 0, 0); // in line with Exit and AutoStart
            grid->addWidget(headingLabel, row, 0);
        }
        if (control.code == 50)
            grid->setRowMinimumHeight(row++, 14);
        QLabel* label = NewTopicLabel(this, control);
        label->installEventFilter(this);
        TopicLabels.push_back(label);
        if (AtLeftMargin(control.code))
            grid->addWidget(label, row++, 0, 1, 2, Qt::AlignLeft);
        else
            grid->addWidget(label, row++, 1);
        if (control.code == 43) {
            // Plain text in the topic column, not clickable.
            MoreHelpLabel = new QLabel(QStringLiteral("- More help"), this);
            MoreHelpLabel->setObjectName(QStringLiteral("MoreHelpLabel"));
            MoreHelpLabel->setContentsMargins(5, 0, 0, 0);
            grid->addWidget(MoreHelpLabel, row++, 1);
        }
    }
    grid->setRowMinimumHeight(row++, 14);
    CancelBitBtn = MakeButton(QStringLiteral("Cancel"), Rejected);
    CancelBitBtn->setMinimumWidth(100);
    grid->addWidget(CancelBitBtn, row, 0, 1, 2, Qt::AlignHCenter);
    SetCancelButton(CancelBitBtn);
}

void TMoreAboutForm::FormActivate() { CancelBitBtn->setFocus(); }

bool TMoreAboutForm::eventFilter(QObject* watched, QEvent* event)
{
    auto* label = qobject_cast<QLabel*>(watched);
    const TopicControl* control = label != nullptr ? ControlOf(label) : nullptr;
    if (control == nullptr)
        return TForm::eventFilter(watched, event);
    bool click = false;
    switch (event->type()) {
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        click = mouse->button() == Qt::LeftButton && label->rect().contains(mouse->position().toPoint());
        break;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        click = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
        break;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        Colour(label, control->code, event->type() == QEvent::FocusIn);
        break;
    default:
        break;
    }
    if (!click)
        return TForm::eventFilter(watched, event);
    (this->*control->click)();
    return true;
}

void TMoreAboutForm::ShowTopic(std::uint8_t code)
{
    if (More2Form == nullptr)
        return;
    // QWidget's own hide keeps this window's exec() running, which QDialog's
    // hide would end.
    QWidget::setVisible(false);
    HelpTopic = code;
    More2Form->exec();
    show();
    // Return then does what the index's button says, not open the page again.
    CancelBitBtn->setFocus();
}

void TMoreAboutForm::ComLabelClick() { ShowTopic(11); }
void TMoreAboutForm::SpeedLabelClick() { ShowTopic(12); }
void TMoreAboutForm::TextLabelClick() { ShowTopic(13); }
void TMoreAboutForm::RepeatLabelClick() { ShowTopic(14); }
void TMoreAboutForm::QskLabelClick() { ShowTopic(15); }
void TMoreAboutForm::RatioLabelClick() { ShowTopic(16); }
void TMoreAboutForm::AlarmLabelClick() { ShowTopic(17); }
void TMoreAboutForm::ToneLabelClick() { ShowTopic(18); }
void TMoreAboutForm::DfcwLabelClick() { ShowTopic(19); }
void TMoreAboutForm::CwIdLabelClick() { ShowTopic(110); }
void TMoreAboutForm::SyncLabelClick() { ShowTopic(111); }
void TMoreAboutForm::Text10LabelClick() { ShowTopic(21); }
void TMoreAboutForm::NowLabelClick() { ShowTopic(31); }
void TMoreAboutForm::LaterLabelClick() { ShowTopic(32); }
void TMoreAboutForm::TestLabelClick() { ShowTopic(33); }
void TMoreAboutForm::QsoLabelClick() { ShowTopic(34); }
void TMoreAboutForm::CopyrightLabelClick() { ShowTopic(41); }
void TMoreAboutForm::AboutLabelClick() { ShowTopic(42); }
void TMoreAboutForm::InterfaceLabelClick() { ShowTopic(43); }
void TMoreAboutForm::ExitLabelClick() { ShowTopic(50); }
void TMoreAboutForm::AutoStartLabelClick() { ShowTopic(60); }
