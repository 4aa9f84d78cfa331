#include "app/previewform.h"

#include "app/keyform.h"
#include "app/mainform.h"
#include "dialogs/dialogtest.h"
#include "settings/settings.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace {

using PreviewFormTest = DialogTest;

// Opened from the Text menu beside the main window; redrawn when a dialog
// changes a setting it depends on, never while the transmit window is up.
TEST_F(PreviewFormTest, FollowsTheSettingsAndCountsTheFrames)
{
    Texts[1] = "E";
    TextNumber = 1;
    DotLength = 3000;
    clock_.SetLocal(46000, 10 * 3600000LL + 4 * 60000 + 30000); // 10:04:30
    SlowCwForm->findChild<QAction*>(QStringLiteral("TextPreview"))->trigger();
    ASSERT_NE(PreviewForm, nullptr);
    ASSERT_TRUE(PreviewForm->isVisible());
    EXPECT_EQ(PreviewForm->Drawings(), 1);
    const auto summary = [] { return PreviewForm->SummaryLabel->text().toStdString(); };
    EXPECT_NE(summary().find("Started at 10:05:00, keyed from 10:05:01 to 10:05:04 : 1 frame of 10 minutes"),
              std::string::npos) << summary();
    const int width = PreviewForm->PictureLabel->pixmap().width();

    PreviewForm->WatchTimerTimer();
    EXPECT_EQ(PreviewForm->Drawings(), 1); // nothing changed

    DotLength = 300000; // a five-minute dot runs into the next frame
    PreviewForm->WatchTimerTimer();
    EXPECT_EQ(PreviewForm->Drawings(), 2);
    EXPECT_NE(summary().find("to 10:10:01 : 2 frames of 10 minutes"), std::string::npos) << summary();
    EXPECT_EQ(PreviewForm->PictureLabel->pixmap().width(), width + 800);
    PreviewForm->FrameSpinBox->setValue(60);
    EXPECT_NE(summary().find(": 1 frame of 60 minutes"), std::string::npos) << summary();

    RunKind = kRunTest; // shown without keying
    KeyForm->show();
    DotLength = 3000;
    PreviewForm->WatchTimerTimer();
    const int drawn = PreviewForm->Drawings();
    KeyForm->hide();
    EXPECT_EQ(drawn, 3);
    PreviewForm->WatchTimerTimer();
    EXPECT_EQ(PreviewForm->Drawings(), 4);

    // Every control is named for a screen reader.
    for (auto* button : PreviewForm->findChildren<QAbstractButton*>())
        EXPECT_FALSE(button->text().isEmpty()) << button->objectName().toStdString();
    for (auto* box : PreviewForm->findChildren<QAbstractSpinBox*>())
        EXPECT_FALSE(box->accessibleName().isEmpty()) << box->objectName().toStdString();
    EXPECT_FALSE(PreviewForm->PictureLabel->accessibleDescription().isEmpty());
    PreviewForm->CloseBitBtn->click();
    EXPECT_FALSE(PreviewForm->isVisible());
}

} // namespace
