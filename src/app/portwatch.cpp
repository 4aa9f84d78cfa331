#include "portwatch.h"

#include "io/portdriver.h"

#include <QTimer>

void WatchLostPort(QObject* owner)
{
    auto* timer = new QTimer(owner);
    timer->setInterval(1000);
    QObject::connect(timer, &QTimer::timeout, owner, [] { RetryLostPort(); });
    timer->start();
}
