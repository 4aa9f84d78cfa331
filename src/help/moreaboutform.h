// TMoreAboutForm: the help index. Each topic label opens its help page; the
// index hides while the page is shown and comes back when it closes, with the
// focus on Cancel.
#pragma once

#include "widgets/form.h"

#include <cstdint>
#include <vector>

class QLabel;
class QPushButton;

class TMoreAboutForm : public TForm {
    Q_OBJECT
public:
    explicit TMoreAboutForm(QWidget* parent = nullptr);

    // The clickable labels in index order, each named after its handler
    // (ComLabel for ComLabelClick); "- More help" is not one of them.
    std::vector<QLabel*> TopicLabels;
    QLabel* MoreHelpLabel;
    QPushButton* CancelBitBtn; // closes the index

    void ComLabelClick();
    void SpeedLabelClick();
    void TextLabelClick();
    void RepeatLabelClick();
    void QskLabelClick();
    void RatioLabelClick();
    void AlarmLabelClick();
    void ToneLabelClick();
    void DfcwLabelClick();
    void CwIdLabelClick();
    void SyncLabelClick();
    void Text10LabelClick();
    void NowLabelClick();
    void LaterLabelClick();
    void TestLabelClick();
    void QsoLabelClick();
    void CopyrightLabelClick();
    void AboutLabelClick();
    void InterfaceLabelClick();
    void ExitLabelClick();
    void AutoStartLabelClick();

protected:
    void FormActivate() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowTopic(std::uint8_t code);
};

extern TMoreAboutForm* MoreAboutForm;
