// TExitForm: the exit confirmation. Cancel has the focus, so Enter cancels.
#pragma once

#include "widgets/form.h"

class QLabel;
class QPushButton;

class TExitForm : public TForm {
    Q_OBJECT
public:
    explicit TExitForm(QWidget* parent = nullptr);

    QLabel* ExitLabel;
    QPushButton* OkBitBtn;
    QPushButton* CancelBitBtn;

protected:
    void FormActivate() override;

private:
    void CancelBitBtnClick();
};

extern TExitForm* ExitForm;
