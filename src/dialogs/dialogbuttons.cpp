#include "dialogbuttons.h"

#include <QBoxLayout>
#include <QPushButton>

#include <algorithm>

void AddDialogButtons(QBoxLayout* layout, QPushButton* ok, QPushButton* cancel)
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
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
