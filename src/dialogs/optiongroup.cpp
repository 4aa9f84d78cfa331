#include "optiongroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QKeyEvent>
#include <QRadioButton>

OptionGroup::OptionGroup(const QString& title, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(title, parent), buttons_(new QButtonGroup(this))
{
    auto* grid = new QGridLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        buttons_->addButton(button, i);
        grid->addWidget(button, i / columns, i % columns);
        button->installEventFilter(this);
    }
    connect(buttons_, &QButtonGroup::buttonToggled, this, &OptionGroup::UpdateTabStop);
    UpdateTabStop();
}

void OptionGroup::UpdateTabStop()
{
    // Only the checked item (the first while none is) takes the focus by Tab,
    // so the group is one stop in the tab chain; the arrows move the choice.
    QAbstractButton* stop = buttons_->checkedButton() != nullptr ? buttons_->checkedButton() : Item(0);
    for (QAbstractButton* button : buttons_->buttons())
        button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

bool OptionGroup::eventFilter(QObject* watched, QEvent* event)
{
    // Unchecked items are out of the tab chain, so Qt's own arrow-key moves,
    // which look only at tab stops, would not reach them.
    if (event->type() != QEvent::KeyPress)
        return QGroupBox::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    const int step = key == Qt::Key_Left || key == Qt::Key_Up ? -1 : key == Qt::Key_Right || key == Qt::Key_Down ? 1 : 0;
    const int from = buttons_->id(qobject_cast<QAbstractButton*>(watched));
    if (step == 0 || from < 0)
        return QGroupBox::eventFilter(watched, event);
    const int to = (from + step + Count()) % Count();
    Item(to)->setFocus(Qt::OtherFocusReason);
    Item(to)->click();
    return true;
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
    UpdateTabStop();
}

QRadioButton* OptionGroup::Item(int index) const { return qobject_cast<QRadioButton*>(buttons_->button(index)); }

int OptionGroup::Count() const { return static_cast<int>(buttons_->buttons().size()); }
