#include "dialogparts.h"

#include "form.h"
#include "msgform.h"

#include <QBoxLayout>
#include <QPushButton>

#include <algorithm>

void AddDialogButtons(QBoxLayout* layout, QPushButton* ok, QPushButton* cancel, bool fixed)
{
    ok->setDefault(true);
    for (QPushButton* button : {ok, cancel})
        button->setMinimumWidth(std::max(100, button->sizeHint().width()));
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addSpacing(12);
    row->addWidget(cancel);
    row->addStretch();
    layout->addLayout(row);
    layout->setSizeConstraint(fixed ? QLayout::SetFixedSize : QLayout::SetMinimumSize);
}

void ShowFieldError(const char* message, QWidget* field)
{
    ShowMessageForm(QStringLiteral("Error"), QString::fromLatin1(message), ButtonFaceColor(), false);
    field->setFocus();
}
