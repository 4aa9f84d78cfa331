// TAboutForm: what Vantrel does, its licence and its build, in a read-only
// memo. The OK button closes it.
#pragma once

#include "widgets/form.h"

class QPlainTextEdit;
class QPushButton;

class TAboutForm : public TForm {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);

    QPlainTextEdit* AboutMemo;
    QPushButton* OkBitBtn;
};

extern TAboutForm* AboutForm;

// The line of the about text that names this build: the Vantrel version and
// the Qt version it was compiled against.
QString BuildLine();
