#include "toneform.h"

#include "widgets/msgform.h"
#include "widgets/uppercaseedit.h"
#include "widgets/dialogparts.h"
#include "morse/morse.h"
#include "widgets/radiogroupbox.h"
#include "settings/settingrules.h"
#include "settings/settings.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>
#include <optional>

TToneForm* ToneForm = nullptr;

QString OneDecimalText(double value)
{
    QString text;
    if (!std::isfinite(value))
        text = std::isnan(value) ? QStringLiteral("NAN") : value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    else if (std::fabs(value) < 1e7)
        text = QString::number(value, 'f', 1);
    else
        text = QString::number(value, 'E', 6);
    return text.replace(QLatin1Char('.'), QLatin1Char(DecimalSeparator));
}

namespace {

QStringList EnabledDisabled() { return {QStringLiteral("enabled"), QStringLiteral("disabled")}; }

UpperCaseEdit* NumberEdit(QWidget* parent, const char* hint)
{
    auto* edit = new UpperCaseEdit(parent);
    edit->setToolTip(QString::fromLatin1(hint));
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("20000.00")) + 16);
    return edit;
}

QLabel* Label(QWidget* parent, const char* text, QWidget* buddy = nullptr, const char* hint = nullptr)
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    if (buddy != nullptr)
        label->setBuddy(buddy);
    if (hint != nullptr)
        label->setToolTip(QString::fromLatin1(hint));
    return label;
}

// A radio group whose caption is a label beside it: the frame stays untitled.
RadioGroupBox* LabelledGroup(QWidget* parent, QLabel* label, const QStringList& items)
{
    auto* group = new RadioGroupBox(QString(), items, 2, parent);
    group->setAccessibleName(label->text());
    return group;
}

} // namespace

TToneForm::TToneForm(QWidget* parent) : TForm(parent)
{
    setWindowTitle(QStringLiteral("Sound"));
    CwLabel = Label(this, "CW and QRSS :");
    CwRadioGroup = LabelledGroup(this, CwLabel, EnabledDisabled());
    ToneEdit = NumberEdit(this, "select sidetone frequency (20-20000Hz)");
    ToneLabel = Label(this, "Tone (Hz) :", ToneEdit, "select sidetone frequency (100Hz - 3000Hz)");
    DfcwLabel = Label(this, "DFCW :");
    DfcwRadioGroup = LabelledGroup(this, DfcwLabel, EnabledDisabled());
    DotEdit = NumberEdit(this, "select dot frequency (20-20000Hz)");
    DotLabel = Label(this, "Dot (Hz) :", DotEdit, "select dot frequency (100Hz - 3000Hz)");
    DashEdit = NumberEdit(this, "select dash frequency (20-20000Hz)");
    DashLabel = Label(this, "Dash (Hz) :", DashEdit, "select dash frequency (100 - 3000Hz)");
    LevelEdit = new QLineEdit(this);
    LevelEdit->setMinimumWidth(ToneEdit->minimumWidth());
    LevelLabel = Label(this, "Soundcard level (0..100) :", LevelEdit);
    SourceLabel = Label(this, "Sound source :");
    SourceRadioGroup = LabelledGroup(this, SourceLabel,
        {QStringLiteral("internal PC speaker"), QStringLiteral("soundcard")});
    OkBitBtn = MakeButton(QStringLiteral("OK"), Accepted, [this] { OkBitBtnClick(); });
    CancelBitBtn = MakeButton(QStringLiteral("Cancel"), Rejected, [this] { CancelBitBtnClick(); });
    SetCancelButton(CancelBitBtn);

    // Two columns: the CW sidetone on the left, DFCW on the right; the level
    // and the source across both below, the buttons at the bottom.
    auto* grid = new QGridLayout;
    grid->addWidget(CwLabel, 0, 0, 1, 2);
    grid->addWidget(CwRadioGroup, 1, 0, 1, 2);
    grid->addWidget(ToneLabel, 2, 0);
    grid->addWidget(ToneEdit, 2, 1);
    grid->addWidget(DfcwLabel, 0, 3, 1, 2);
    grid->addWidget(DfcwRadioGroup, 1, 3, 1, 2);
    grid->addWidget(DotLabel, 2, 3);
    grid->addWidget(DotEdit, 2, 4);
    grid->addWidget(DashLabel, 3, 3);
    grid->addWidget(DashEdit, 3, 4);
    grid->setColumnMinimumWidth(2, 24);
    grid->addWidget(LevelLabel, 4, 0);
    grid->addWidget(LevelEdit, 4, 1);
    grid->addWidget(SourceLabel, 5, 0, 1, 5);
    grid->addWidget(SourceRadioGroup, 6, 0, 1, 5);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    AddDialogButtons(layout, OkBitBtn, CancelBitBtn);
}

void TToneForm::FormActivate()
{
    CloseAllowed = false;
    CwRadioGroup->SetItemIndex(SidetoneOn ? 0 : 1);
    ToneEdit->setText(OneDecimalText(SidetoneFreq));
    LevelEdit->setText(OneDecimalText(SoundLevel));
    DfcwRadioGroup->SetItemIndex(DfcwToneOn ? 0 : 1);
    DotEdit->setText(OneDecimalText(DotToneFreq));
    DashEdit->setText(OneDecimalText(DashToneFreq));
    SourceRadioGroup->SetItemIndex(UseSpeaker ? 0 : 1);
    CwRadioGroup->FocusItem();
}

void TToneForm::OkBitBtnClick()
{
    CloseAllowed = true;
    for (UpperCaseEdit* edit : {DotEdit, DashEdit})
        edit->setText(FromBytes(TrimSpaces(ToBytes(edit->text()))));
    // Every check runs; the focus ends in the last field that failed.
    const auto check = [this](QLineEdit* field, bool (*valid)(double), const char* message) {
        const std::optional<double> value = ToFloat(ToBytes(field->text()));
        if (value && valid(*value))
            return *value;
        ShowFieldError(message, field);
        CloseAllowed = false;
        return 0.0;
    };
    const double dot = check(DotEdit, ToneHzValid, "Dot : invalid number");
    const double dash = check(DashEdit, ToneHzValid, "Dash : invalid number");
    const double tone = check(ToneEdit, ToneHzValid, "Tone : invalid number");
    const double level = check(LevelEdit, SoundLevelValid, "Soundcard level : invalid number");
    if (CloseAllowed)
        StoreAll(tone, level, dot, dash);
}

void TToneForm::StoreAll(double tone, double level, double dot, double dash)
{
    SidetoneOn = CwRadioGroup->ItemIndex() == 0;
    SidetoneFreq = RoundToTenth(tone);
    SoundLevel = RoundToTenth(level);
    DfcwToneOn = DfcwRadioGroup->ItemIndex() == 0;
    DotToneFreq = RoundToTenth(dot);
    DashToneFreq = RoundToTenth(dash);
    UseSpeaker = SourceRadioGroup->ItemIndex() == 0;
    // The alarm chirps on the PC speaker and would cut into its tones.
    if (UseSpeaker && AlarmTime != 0) {
        ShowMessageForm(QStringLiteral("Warning"), QStringLiteral("Alarm disabled"), ButtonFaceColor(), false);
        AlarmTime = 0;
    }
}

void TToneForm::CancelBitBtnClick() { CloseAllowed = true; }
