#include "radiogroupbox.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

RadioGroupBox::RadioGroupBox(const QString& title, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this))
{
    auto* grid = new QGridLayout(this);
    const int count = static_cast<int>(items.size());
    const int rows = (count + columns - 1) / std::max(columns, 1);
    for (int i = 0; i < count; ++i) {
        auto* button = new QRadioButton(items[i], this);
        group_->addButton(button, i);
        grid->addWidget(button, i % rows, i / rows);
    }
    connect(group_, &QButtonGroup::idClicked, this, &RadioGroupBox::Clicked);
    connect(group_, &QButtonGroup::idToggled, this, &RadioGroupBox::UpdateTabStop);
    UpdateTabStop();
}

void RadioGroupBox::UpdateTabStop()
{
    QAbstractButton* stop = group_->checkedButton() != nullptr ? group_->checkedButton() : group_->button(0);
    for (QAbstractButton* button : group_->buttons())
        button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

int RadioGroupBox::ItemIndex() const { return group_->checkedId(); }

void RadioGroupBox::SetItemIndex(int index)
{
    if (QAbstractButton* button = group_->button(index)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; let go of it for a moment.
    if (QAbstractButton* checked = group_->checkedButton()) {
        group_->setExclusive(false);
        checked->setChecked(false);
        group_->setExclusive(true);
    }
    UpdateTabStop();
}

void RadioGroupBox::FocusItem()
{
    QAbstractButton* button = group_->checkedButton();
    if (button == nullptr)
        button = group_->button(0);
    if (button != nullptr)
        button->setFocus();
}

int RadioGroupBox::Count() const { return static_cast<int>(group_->buttons().size()); }

QRadioButton* RadioGroupBox::Item(int index) const
{
    return qobject_cast<QRadioButton*>(group_->button(index));
}
