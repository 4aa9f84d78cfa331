// TPreviewForm: the selected text as a grabber will show it, with the current
// settings, as if started at the next full minute. A window beside the main
// window (not modal): it redraws whenever a setting that shapes the
// transmission changes, except while a transmission runs, and says the
// text's duration and how many grabber frames its keying spans.
#pragma once

#include "widgets/form.h"

#include <cstdint>
#include <string>

class Clock;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTimer;

class TPreviewForm : public TForm {
    Q_OBJECT
public:
    explicit TPreviewForm(Clock& clock, QWidget* parent = nullptr);
    ~TPreviewForm() override;

    QLabel* SummaryLabel;
    QScrollArea* PictureScroll;
    QLabel* PictureLabel;
    QLabel* FrameLabel;
    QSpinBox* FrameSpinBox;
    QLabel* WidthLabel;
    QSpinBox* WidthSpinBox;
    QCheckBox* ShiftCheckBox;
    QDoubleSpinBox* ShiftSpinBox;
    QPushButton* CloseBitBtn;
    QTimer* WatchTimer;

    // Redraws when the settings changed since the last drawing.
    void WatchTimerTimer();
    // Draws the picture and the summary afresh.
    void Redraw();
    // Pictures drawn so far (for the tests).
    int Drawings() const { return drawings_; }

protected:
    void FormActivate() override;

private:
    Clock& clock_;
    std::string drawnFor_;
    int drawings_ = 0;
};

extern TPreviewForm* PreviewForm;

// What a preview depends on among the settings, as one comparable text.
std::string PreviewSettingsKey();
