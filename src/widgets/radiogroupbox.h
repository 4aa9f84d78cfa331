// RadioGroupBox: a titled group of radio buttons read and set by item index,
// the way the setup dialogs store a choice, filled column by column like a
// classic radio group. The title names the group for screen readers; where a
// dialog shows the caption in a label of its own, the frame stays untitled and
// takes the caption as its accessible name. Tab enters the group at its
// checked item, the arrow keys move the choice within it.
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

protected:
    // The arrow keys move the choice: Up and Down to the item before or after,
    // Left and Right to the next column (to the item before or after in a single
    // column), going round at the ends.
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // Item `index` became the checked one, however that happened: mouse,
    // keyboard, a screen reader's toggle or SetItemIndex; -1 when
    // SetItemIndex(-1) unchecked them all.
    void Changed(int index);

private:
    // Tab stops at the checked item only (the first when none is), so the
    // group is one stop in the tab chain.
    void UpdateTabStop();

    QButtonGroup* group_;
    int rows_; // items per column
};
