// OptionGroup: a titled group of radio buttons read and set by item index, the
// way the setup dialogs store a choice. Tab enters the group at its checked
// item and the arrow keys move the choice, as in any dialog. The title names the group for screen
// readers; where a dialog shows the title in a label of its own, the group's
// frame stays untitled and only its accessible name carries it.
#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

class OptionGroup : public QGroupBox {
    Q_OBJECT
public:
    // `items` are laid out row by row in `columns` columns.
    OptionGroup(const QString& title, const QStringList& items, int columns, QWidget* parent = nullptr);

    // The checked item, or -1 when none is checked.
    int ItemIndex() const;
    // Checks item `index`; an index outside the items clears the choice.
    void SetItemIndex(int index);
    QRadioButton* Item(int index) const;
    int Count() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateTabStop();

    QButtonGroup* buttons_;
};
