// TMsgForm: the one message dialog of the program, reused for every error,
// warning and question. Its answer is DialogCancelled.
#pragma once

#include "form.h"

#include <QColor>

class QLabel;
class QPushButton;

class TMsgForm : public TForm {
    Q_OBJECT
public:
    explicit TMsgForm(QWidget* parent = nullptr);

    QPushButton* OkBitBtn;
    QLabel* MsgLabel;
    QPushButton* CancelBitBtn;
    QPushButton* Ok2BitBtn;

    // Sizes the label, the buttons and the window to the message.
    void FitToMessage();

protected:
    void FormActivate() override;

private:
    void CancelBitBtnClick();
};

extern TMsgForm* MsgForm;

// True for the whole run once start-up found no display (set by src/app's
// start-up, see app/headless.h; defined in msgform.cpp): messages then go to
// standard error. UI thread only.
extern bool Headless;

// Shows MsgForm modally with `caption`, `message` and background `colour`;
// two buttons (OK, Cancel) when `twoButtons`, else one centred OK. Afterwards
// DialogCancelled is true exactly when Cancel was pressed.
void ShowMessageForm(const QString& caption, const QString& message, const QColor& colour,
                     bool twoButtons);
