#include "optiongroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

OptionGroup::OptionGroup(const QString& title, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(title, parent), buttons_(new QButtonGroup(this))
{
    auto* grid = new QGridLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        buttons_->addButton(button, i);
        grid->addWidget(button, i / columns, i % columns);
    }
}

int OptionGroup::ItemIndex() const { return buttons_->checkedId(); }

void OptionGroup::SetItemIndex(int index)
{
    if (QAbstractButton* button = buttons_->button(index)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group refuses to uncheck its last button.
    buttons_->setExclusive(false);
    for (QAbstractButton* button : buttons_->buttons())
        button->setChecked(false);
    buttons_->setExclusive(true);
}

QRadioButton* OptionGroup::Item(int index) const { return qobject_cast<QRadioButton*>(buttons_->button(index)); }

int OptionGroup::Count() const { return static_cast<int>(buttons_->buttons().size()); }
