// RadioGroupBox: a titled group of radio buttons read and set by item index,
// filled column by column like a classic radio group. The title names the
// group for screen readers; an untitled group takes an accessible name. Tab
// enters the group at its checked item, the arrow keys move within it.
#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

class RadioGroupBox : public QGroupBox {
    Q_OBJECT
public:
    RadioGroupBox(const QString& title, const QStringList& items, int columns = 1,
                  QWidget* parent = nullptr);

    // The checked item, -1 when none is.
    int ItemIndex() const;
    // Checks item `index`; -1 (or any index out of range) unchecks them all.
    void SetItemIndex(int index);
    // Gives the focus to the checked item, or the first when none is.
    void FocusItem();
    int Count() const;
    QRadioButton* Item(int index) const;

signals:
    // The user checked item `index` (by mouse or keyboard), not SetItemIndex.
    void Clicked(int index);

private:
    // Tab stops at the checked item only (the first when none is); the arrow
    // keys move between the items.
    void UpdateTabStop();

    QButtonGroup* group_;
};
