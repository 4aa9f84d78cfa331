#include "starttimeform.h"

#include "widgets/typinglimit.h"
#include "clock/clock.h"
#include "widgets/dialogparts.h"
#include "morse/morse.h"
#include "settings/settings.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

TStartTimeForm* StartTimeForm = nullptr;

namespace {

// Start Now leaves its start as HH:MM:SS; the field shows that time in its
// own six digits, whole, for the operator to change.
QString FieldTime(const std::string& time)
{
    if (time.size() == 8 && time[2] == ':' && time[5] == ':')
        return FromBytes(time.substr(0, 2) + time.substr(3, 2) + time.substr(6, 2));
    return FromBytes(time);
}

} // namespace

TStartTimeForm::TStartTimeForm(Clock& clock, QWidget* parent) : TForm(parent), clock_(clock)
{
    setWindowTitle(QStringLiteral("Start Time"));
    StartLabel = new QLabel(QStringLiteral("Start time  (HHMMSS) :"), this);
    StartLabel->setGeometry(16, 16, 180, 24);
    StartEdit = new QLineEdit(this);
    StartEdit->setGeometry(200, 14, 110, 26);
    LimitTyping(StartEdit, 6);
    StopLabel = new QLabel(QStringLiteral("Stop time  (HHMMSS) :"), this);
    StopLabel->setGeometry(16, 48, 180, 24);
    StopEdit = new QLineEdit(this);
    StopEdit->setGeometry(200, 46, 110, 26);
    LimitTyping(StopEdit, 6);
    OkBitBtn = MakeButton(QStringLiteral("OK"), Accepted, [this] { OkBitBtnClick(); });
    OkBitBtn->setGeometry(55, 82, 100, 30);
    OkBitBtn->setDefault(true);
    CancelBitBtn = MakeButton(QStringLiteral("Cancel"), Rejected, [this] { CancelBitBtnClick(); });
    CancelBitBtn->setGeometry(175, 82, 100, 30);
    SetCancelButton(CancelBitBtn);
    StartLabel->setBuddy(StartEdit);
    StopLabel->setBuddy(StopEdit);
    // Both labels as wide as the wider text needs, the edits and buttons along.
    const int growth = std::max(FitToText(StartLabel), FitToText(StopLabel));
    for (QLabel* label : {StartLabel, StopLabel})
        label->resize(180 + growth, label->height());
    StartEdit->move(200 + growth, StartEdit->y());
    StopEdit->move(200 + growth, StopEdit->y());
    const int width = 330 + growth;
    OkBitBtn->move(width / 2 - 110, OkBitBtn->y());
    CancelBitBtn->move(width / 2 + 10, CancelBitBtn->y());
    setFixedSize(SizeForChildren(this, QSize(width, 120), 0));
    ClockTimer = new QTimer(this);
    ClockTimer->setInterval(100);
    connect(ClockTimer, &QTimer::timeout, this, &TStartTimeForm::ClockTimerTimer);
}

void TStartTimeForm::FormActivate()
{
    CloseAllowed = true;
    // Whole, so that Cancel puts back what was there, not a cut "01:32:".
    SavedStartTime = StartTime;
    DialogCancelled = false;
    StartEdit->setText(FieldTime(StartTime));
    StartEdit->setFocus();
    StartEdit->selectAll();
    StopEdit->setText(FromBytes(StopTime));
    StopEdit->selectAll();
    ClockTimer->start();
}

void TStartTimeForm::ClockTimerTimer()
{
    setWindowTitle(QStringLiteral("Start time (") + FromBytes(TimeOfDayText(clock_.Now())) + QLatin1Char(')'));
}

void TStartTimeForm::done(int result)
{
    TForm::done(result);
    if (!isVisible())
        ClockTimer->stop(); // FormClose
}

void TStartTimeForm::OkBitBtnClick()
{
    DialogCancelled = false;
    CloseAllowed = true;
    StartTime = Short(TrimSpaces(ToBytes(StartEdit->text())), kShortMax);
    StopTime = Short(TrimSpaces(ToBytes(StopEdit->text())), kShortMax);
    CloseAllowed = CheckTimes();
}

bool TStartTimeForm::CheckTimes()
{
    bool valid = true;
    if (!IsValidTime(StartTime)) {
        ShowFieldError("invalid start time", StartEdit);
        valid = false;
    }
    if (!StopTime.empty() && !IsValidTime(StopTime)) {
        ShowFieldError("invalid stop time", StopEdit);
        valid = false;
    }
    return valid;
}

bool StartTimesValid() { return IsValidTime(StartTime) && (StopTime.empty() || IsValidTime(StopTime)); }

void TStartTimeForm::ExecForStart()
{
    forStart_ = true;
    exec();
    forStart_ = false;
}

void TStartTimeForm::closeEvent(QCloseEvent* event)
{
    // The close box runs no button handler and leaves the times stored
    // before; a start goes on with them, so they are checked now, while the
    // operator can still mend them here. Cancel remains the way out.
    if (forStart_ && CloseAllowed && !StartTimesValid() && !CheckTimes()) {
        event->ignore();
        return;
    }
    TForm::closeEvent(event);
}

void TStartTimeForm::CancelBitBtnClick()
{
    CloseAllowed = true;
    StartTime = SavedStartTime;
    DialogCancelled = true;
}
