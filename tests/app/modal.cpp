#include "modal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {
// Bumped by each watchdog's end: waits of an earlier test stop.
int generation = 0;
}

std::shared_ptr<bool> OnNextModal(std::function<void(QDialog*)> action)
{
    auto alive = std::make_shared<bool>(true);
    const int mine = generation;
    QPointer<QWidget> before = QApplication::activeModalWidget();
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [before, waited, action, poll, alive, mine] {
        if (!*alive || mine != generation) {
            *poll = nullptr;
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal != before && modal->isVisible()) {
            auto* dialog = qobject_cast<QDialog*>(modal);
            EXPECT_NE(dialog, nullptr);
            if (dialog != nullptr) {
                dialog->activateWindow();
                action(dialog);
            }
            *poll = nullptr; // break the cycle
            return;
        }
        if (waited->elapsed() > 5000) {
            ADD_FAILURE() << "no modal window appeared";
            *poll = nullptr;
            return;
        }
        QTimer::singleShot(5, *poll);
    };
    QTimer::singleShot(0, *poll);
    return alive;
}

namespace {
QTimer* watchdog = nullptr;
}

ModalWatchdog::ModalWatchdog()
{
    watchdog = new QTimer;
    auto seen = std::make_shared<QPointer<QWidget>>();
    auto since = std::make_shared<QElapsedTimer>();
    QObject::connect(watchdog, &QTimer::timeout, [seen, since] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != *seen) {
            *seen = modal;
            since->start();
            return;
        }
        if (modal != nullptr && since->elapsed() > 4000) {
            ADD_FAILURE() << "modal window left open: " << modal->windowTitle().toStdString();
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->QDialog::done(QDialog::Rejected); // past any close query
            *seen = nullptr;
        }
    });
    watchdog->start(100);
}

ModalWatchdog::~ModalWatchdog()
{
    ++generation;
    delete watchdog;
    watchdog = nullptr;
}

void Settle(int ms)
{
    QCoreApplication::processEvents();
    QTest::qWait(ms);
}
