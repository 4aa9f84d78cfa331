#include "dialogtest.h"

#include "app/forms.h"
#include "app/mainform.h"
#include "widgets/msgform.h"
#include "settings/settings.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

MessageLog::MessageLog() : poll_(new QTimer)
{
    QObject::connect(poll_, &QTimer::timeout, [this] {
        if (MsgForm == nullptr || QApplication::activeModalWidget() != MsgForm || !MsgForm->isVisible())
            return;
        shown.push_back(MsgForm->windowTitle().toStdString() + ": " + MsgForm->MsgLabel->text().toStdString());
        QTest::mouseClick(MsgForm->Ok2BitBtn, Qt::LeftButton);
    });
    poll_->start(5);
}

MessageLog::~MessageLog() { delete poll_; }

void DialogTest::SetUp()
{
    TempDirTest::SetUp();
    CreateForms(clock_, player_, {});
}

void DialogTest::TearDown()
{
    DestroyForms();
    TempDirTest::TearDown();
}

void DialogTest::Open(const char* action, std::function<void(QDialog*)> drive)
{
    auto* item = SlowCwForm->findChild<QAction*>(QString::fromLatin1(action));
    ASSERT_NE(item, nullptr) << action;
    bool driven = false;
    OnNextModal([&](QDialog* dialog) {
        driven = true;
        drive(dialog);
    });
    item->trigger();
    EXPECT_TRUE(driven);
}

void DialogTest::Retype(QLineEdit* edit, const QString& keys)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, keys);
}

void DialogTest::Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

void DialogTest::Press(QDialog* dialog, int key)
{
    QWidget* target = dialog->focusWidget();
    QTest::keyClick(target != nullptr ? target : dialog, Qt::Key(key));
}

void DialogTest::ExpectTextsWholeAndNamed(QWidget* dialog)
{
    for (auto* label : dialog->findChildren<QLabel*>())
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
    for (auto* button : dialog->findChildren<QAbstractButton*>())
        EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
    for (auto* group : dialog->findChildren<QGroupBox*>()) {
        EXPECT_FALSE(group->title().isEmpty() && group->accessibleName().isEmpty());
        EXPECT_GE(group->width(), group->sizeHint().width());
    }
    for (auto* edit : dialog->findChildren<QLineEdit*>()) {
        bool named = false;
        for (auto* label : dialog->findChildren<QLabel*>())
            named = named || label->buddy() == edit;
        EXPECT_TRUE(named) << edit->objectName().toStdString();
    }
    EXPECT_GE(dialog->width(), dialog->sizeHint().width());
    EXPECT_GE(dialog->height(), dialog->sizeHint().height());
}
