#include "widgets/radiogroupbox.h"

#include <QRadioButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

QStringList Items(int count)
{
    QStringList items;
    for (int i = 0; i < count; ++i)
        items << QStringLiteral("item %1").arg(i);
    return items;
}

int Press(RadioGroupBox& group, int key)
{
    QTest::keyClick(group.Item(group.ItemIndex()), Qt::Key(key));
    return group.ItemIndex();
}

TEST(RadioGroupBox, FillsColumnByColumnAndTabStopsOnlyAtTheChoice)
{
    RadioGroupBox group(QStringLiteral("Port :"), Items(6), 3);
    group.show();
    // Two rows of three columns: item 2 heads the second column.
    EXPECT_EQ(group.Item(2)->x(), group.Item(3)->x());
    EXPECT_LT(group.Item(1)->x(), group.Item(2)->x());
    EXPECT_EQ(group.Item(2)->y(), group.Item(0)->y());
    EXPECT_EQ(group.ItemIndex(), -1);
    EXPECT_EQ(group.Item(0)->focusPolicy(), Qt::StrongFocus); // reachable without a choice
    group.SetItemIndex(4);
    for (int i = 0; i < group.Count(); ++i)
        EXPECT_EQ(group.Item(i)->focusPolicy(), i == 4 ? Qt::StrongFocus : Qt::ClickFocus) << i;
    group.SetItemIndex(-1);
    EXPECT_EQ(group.ItemIndex(), -1);
    EXPECT_EQ(group.Item(0)->focusPolicy(), Qt::StrongFocus);
}

TEST(RadioGroupBox, ArrowsMoveTheChoiceDownColumnsAndAcrossThemGoingRound)
{
    RadioGroupBox grid(QStringLiteral("Port :"), Items(6), 3);
    grid.show();
    int clicked = -1;
    QObject::connect(&grid, &RadioGroupBox::Changed, [&clicked](int index) { clicked = index; });
    grid.SetItemIndex(0);
    EXPECT_EQ(Press(grid, Qt::Key_Down), 1);
    EXPECT_EQ(clicked, 1); // a move by key
    EXPECT_EQ(Press(grid, Qt::Key_Right), 3);
    EXPECT_EQ(Press(grid, Qt::Key_Right), 5);
    EXPECT_EQ(Press(grid, Qt::Key_Right), 1);
    EXPECT_EQ(Press(grid, Qt::Key_Up), 0);
    EXPECT_EQ(Press(grid, Qt::Key_Up), 5);
    EXPECT_EQ(Press(grid, Qt::Key_Left), 3);
    grid.SetItemIndex(2);
    EXPECT_EQ(clicked, 2); // and by the program

    // A single row or column: every arrow steps to the neighbouring item.
    RadioGroupBox row({}, Items(2), 2);
    row.show();
    row.SetItemIndex(1);
    EXPECT_EQ(Press(row, Qt::Key_Left), 0);
    EXPECT_EQ(Press(row, Qt::Key_Left), 1);
    RadioGroupBox column({}, Items(3));
    column.show();
    column.SetItemIndex(2);
    EXPECT_EQ(Press(column, Qt::Key_Right), 0);
    EXPECT_EQ(Press(column, Qt::Key_Left), 2);
    EXPECT_EQ(Press(column, Qt::Key_Up), 1);
}

} // namespace
