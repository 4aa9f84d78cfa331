#include "radiogroupbox.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QKeyEvent>
#include <QRadioButton>

#include <algorithm>

RadioGroupBox::RadioGroupBox(const QString& title, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this))
{
    auto* grid = new QGridLayout(this);
    const int count = static_cast<int>(items.size());
    columns = std::max(columns, 1);
    rows_ = std::max((count + columns - 1) / columns, 1);
    for (int i = 0; i < count; ++i) {
        auto* button = new QRadioButton(items[i], this);
        group_->addButton(button, i);
        // An item as wide as its text, however wide the group grows: a radio
        // button takes clicks on its indicator and text only.
        grid->addWidget(button, i % rows_, i / rows_, Qt::AlignLeft);
        button->installEventFilter(this);
    }
    // Toggled, not clicked: an accessibility toggle checks an item without a click.
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        UpdateTabStop();
        if (checked)
            emit Changed(id);
    });
    UpdateTabStop();
}

void RadioGroupBox::UpdateTabStop()
{
    QAbstractButton* stop = group_->checkedButton() != nullptr ? group_->checkedButton() : group_->button(0);
    for (QAbstractButton* button : group_->buttons())
        button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

bool RadioGroupBox::eventFilter(QObject* watched, QEvent* event)
{
    // Unchecked items are out of the tab chain, where Qt's own arrow-key moves
    // do not reliably reach them: the group moves the choice itself.
    if (event->type() != QEvent::KeyPress)
        return QGroupBox::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    const int across = rows_ < Count() ? rows_ : 1;
    int step = 0;
    if (key == Qt::Key_Up || key == Qt::Key_Down)
        step = key == Qt::Key_Up ? -1 : 1;
    else if (key == Qt::Key_Left || key == Qt::Key_Right)
        step = key == Qt::Key_Left ? -across : across;
    const int from = group_->id(qobject_cast<QAbstractButton*>(watched));
    if (step == 0 || from < 0)
        return QGroupBox::eventFilter(watched, event);
    QRadioButton* to = Item(((from + step) % Count() + Count()) % Count());
    to->setFocus(Qt::OtherFocusReason);
    to->click();
    return true;
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
        emit Changed(-1);
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
