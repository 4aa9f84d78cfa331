// Driving modal windows from a test: the action runs once the next modal window
// (other than the one open now) is shown; a watchdog fails the test and closes
// any modal window that stays open with nobody driving it.
#pragma once

#include <QDialog>

#include <functional>
#include <memory>
#include <ostream>

// Returns a flag that stops the wait when set to false. Every wait ends with
// the test's ModalWatchdog, so none reaches into the next test.
std::shared_ptr<bool> OnNextModal(std::function<void(QDialog*)> action);

class ModalWatchdog {
public:
    ModalWatchdog();
    ~ModalWatchdog();
};

// Lets pending events and zero-time timers run.
void Settle(int ms = 20);

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
