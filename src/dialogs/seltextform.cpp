#include "seltextform.h"

#include "widgets/dialogparts.h"
#include "morse/duration.h"
#include "settings/settings.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TSelTextForm* SelTextForm = nullptr;

namespace {

constexpr std::array<const char*, TSelTextForm::kRows> kRowCaptions{
    "Text 1  :", "Text 2  :", "Text 3  :", "Text 4  :", "Text 5  :",
    "Text6  :",  "Text7  :",  "Text 8  :", "Text 9  :", "Text 10 :"};

QLabel* PlainLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

std::string RowText(const std::string& text)
{
    return text.size() >= 40 ? text.substr(0, 36) + " ..." : text;
}

TSelTextForm::TSelTextForm(QWidget* parent) : TForm(parent)
{
    setWindowTitle(QStringLiteral("Select Text"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setColumnMinimumWidth(1, 120);
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < kRows; ++i) {
        const QString hint = QStringLiteral("Click here to select Text ") + QString::number(i + 1);
        TLabel[i] = PlainLabel(QString::fromLatin1(kRowCaptions[i]), this);
        TextLabel[i] = PlainLabel({}, this);
        TRadioButton[i] = new QRadioButton(this);
        TRadioButton[i]->setAccessibleName(QStringLiteral("Text ") + QString::number(i + 1));
        DurLabel[i] = PlainLabel({}, this);
        const QString n = QString::number(i + 1);
        TLabel[i]->setObjectName(QStringLiteral("T%1Label").arg(n));
        TextLabel[i]->setObjectName(QStringLiteral("Text%1Label").arg(n));
        TRadioButton[i]->setObjectName(QStringLiteral("T%1RadioButton").arg(n));
        DurLabel[i]->setObjectName(QStringLiteral("Dur%1Label").arg(n));
        TLabel[i]->setBuddy(TRadioButton[i]);
        group->addButton(TRadioButton[i], i + 1);
        for (QWidget* w : std::initializer_list<QWidget*>{TLabel[i], TextLabel[i], TRadioButton[i]})
            w->setToolTip(hint);
        for (QLabel* label : {TLabel[i], TextLabel[i]})
            label->installEventFilter(this);
        grid->addWidget(TLabel[i], i, 0);
        grid->addWidget(TextLabel[i], i, 1);
        grid->addWidget(TRadioButton[i], i, 2);
        grid->addWidget(DurLabel[i], i, 3);
    }
    layout->addLayout(grid);
    OkBitBtn = MakeButton(QStringLiteral("OK"), Accepted, [this] { OkBitBtnClick(); });
    CancelBitBtn = MakeButton(QStringLiteral("Cancel"), Rejected, [this] { CancelBitBtnClick(); });
    SetCancelButton(CancelBitBtn);
    AddDialogButtons(layout, OkBitBtn, CancelBitBtn);
}

bool TSelTextForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (int i = 0; i < kRows; ++i)
            if (watched == TLabel[i] || watched == TextLabel[i])
                RowLabelClick(i + 1);
    }
    return TForm::eventFilter(watched, event);
}

void TSelTextForm::RowLabelClick(int row) { TRadioButton[row - 1]->setChecked(true); }

void TSelTextForm::FormActivate()
{
    // Any other number leaves the buttons as they were.
    if (TextNumber >= 1 && TextNumber <= kRows)
        TRadioButton[TextNumber - 1]->setChecked(true);
    for (int i = 0; i < kRows; ++i) {
        const std::string& text = Texts[static_cast<std::size_t>(i + 1)];
        TextLabel[i]->setText(FromBytes(RowText(text)));
        // The message timing always, never the identification speed.
        const std::int32_t seconds = TextDuration(text, HeldDotLength(), HeldKeyGap(), 0);
        DurLabel[i]->setText(QStringLiteral("(") + FromBytes(DurationText(seconds)) + QStringLiteral(")"));
    }
    layout()->activate(); // sized to the new texts before it is centred
    SavedTextNumber = TextNumber;
    OkBitBtn->setFocus();
    DialogCancelled = false;
}

void TSelTextForm::OkBitBtnClick()
{
    for (int i = 0; i < kRows; ++i)
        if (TRadioButton[i]->isChecked())
            TextNumber = static_cast<std::uint8_t>(i + 1);
}

void TSelTextForm::CancelBitBtnClick()
{
    TextNumber = SavedTextNumber;
    DialogCancelled = true;
}
