// TCopyrightForm: the logo, the version with its date, the author and the
// licence on a white panel.
#pragma once

#include "widgets/form.h"

class QFrame;
class QLabel;
class QPushButton;

class TCopyrightForm : public TForm {
    Q_OBJECT
public:
    explicit TCopyrightForm(QWidget* parent = nullptr);

    QFrame* CopyrightPanel;
    QLabel* ProgramIcon;
    QLabel* VersionLabel;
    QLabel* Copyright;
    QLabel* Comments1;
    QLabel* Comments2;
    QPushButton* OKButton;

protected:
    void FormActivate() override;
};

extern TCopyrightForm* CopyrightForm;
