#include "simpleform.h"

#include "settings/settings.h"

#include <QPushButton>

TSimpleForm::TSimpleForm(const QString& caption, QWidget* parent) : TForm(parent)
{
    setWindowTitle(caption);
    setFixedSize(320, 90);
    QPushButton* ok = MakeButton(QStringLiteral("OK"), Accepted);
    ok->setGeometry(110, 30, 100, 30);
    ok->setDefault(true);
}

void TSimpleForm::FormActivate() { DialogCancelled = false; }
