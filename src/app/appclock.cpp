#include "appclock.h"

#include <QEventLoop>
#include <QTimer>

void AppClock::WaitMs(std::int32_t ms)
{
    if (ms <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}
