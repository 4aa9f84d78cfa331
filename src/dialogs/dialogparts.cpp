#include "dialogparts.h"

#include "app/form.h"
#include "app/msgform.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

void LayOutDialog(QWidget* dialog, QLayout* body, QPushButton* ok, QPushButton* cancel, bool fixed)
{
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(body);
    layout->addLayout(buttons);
    layout->setSizeConstraint(fixed ? QLayout::SetFixedSize : QLayout::SetMinimumSize);
}

void ShowFieldError(const char* message, QWidget* field)
{
    ShowMessageForm(QStringLiteral("Error"), QString::fromLatin1(message), ButtonFaceColor(), false);
    field->setFocus();
}
