#include "msgform.h"

#include "settings/settings.h"

#include <QLabel>
#include <QPushButton>

#include <cstdio>

TMsgForm* MsgForm = nullptr;
bool Headless = false;

TMsgForm::TMsgForm(QWidget* parent) : TForm(parent)
{
    setFixedSize(831, 100);
    QFont big = font();
    big.setPixelSize(17);
    setFont(big);
    setAutoFillBackground(true);

    OkBitBtn = MakeButton(QStringLiteral("OK"), Accepted);
    OkBitBtn->setGeometry(307, 56, 100, 33);
    MsgLabel = new QLabel(this);
    MsgLabel->setGeometry(13, 16, 804, 35);
    MsgLabel->setAlignment(Qt::AlignCenter);
    MsgLabel->setAutoFillBackground(true);
    CancelBitBtn = MakeButton(QStringLiteral("Cancel"), Rejected, [this] { CancelBitBtnClick(); });
    CancelBitBtn->setGeometry(424, 56, 100, 33);
    Ok2BitBtn = MakeButton(QStringLiteral("OK"), Accepted);
    Ok2BitBtn->setGeometry(365, 56, 100, 33);
    SetCancelButton(CancelBitBtn);
}

void TMsgForm::FormActivate()
{
    DialogCancelled = false;
    // The first visible OK button has the focus, so Enter answers OK.
    (OkBitBtn->isVisibleTo(this) ? OkBitBtn : Ok2BitBtn)->setFocus();
}

void TMsgForm::CancelBitBtnClick() { DialogCancelled = true; }

void ShowMessageForm(const QString& caption, const QString& message, const QColor& colour,
                     bool twoButtons)
{
    if (Headless) {
        // Nobody to click: standard error, answered as Cancel or the single OK would be.
        std::fprintf(stderr, "vantrel: %s: %s\n", qPrintable(caption), qPrintable(message));
        DialogCancelled = twoButtons;
        return;
    }
    TMsgForm& form = *MsgForm;
    form.setWindowTitle(caption);
    QPalette palette = form.palette();
    palette.setColor(QPalette::Window, colour);
    form.setPalette(palette);
    form.MsgLabel->setText(message);
    QPalette labelPalette = form.MsgLabel->palette();
    labelPalette.setColor(QPalette::Window, colour);
    form.MsgLabel->setPalette(labelPalette);
    form.OkBitBtn->setVisible(twoButtons);
    form.CancelBitBtn->setVisible(twoButtons);
    form.Ok2BitBtn->setVisible(!twoButtons);
    form.FitToMessage();
    form.exec();
}

void TMsgForm::FitToMessage()
{
    // The design's label is 804 pixels wide; a longer text widens the window,
    // up to the screen, and is wrapped beyond that.
    constexpr int kLabel = 804, kSide = 13, kTop = 16, kLine = 35, kGap = 5, kButtons = 33;
    FitLabel(MsgLabel, kLabel, ScreenRoom() - 2 * kSide - 1);
    const int width = MsgLabel->width(), height = std::max(kLine, MsgLabel->height());
    MsgLabel->setGeometry(kSide, kTop, width, height);
    const int centre = kSide + width / 2, top = kTop + height + kGap;
    OkBitBtn->move(centre - 108, top);
    CancelBitBtn->move(centre + 9, top);
    Ok2BitBtn->move(centre - 50, top);
    setFixedSize(width + 2 * kSide + 1, top + kButtons + 11);
}
