#include "camera/WaitFunc.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

// How often the abort flag is looked at; events are processed all the time in between.
constexpr int kSliceMs = 10;

} // namespace

void Wait(int ms)
{
    static const bool never = false;
    WaitAbortable(ms, never);
}

void WaitAbortable(int ms, const bool& abort)
{
    const QDeadlineTimer deadline(std::max(ms, 0));
    const bool hasLoop = QCoreApplication::instance() != nullptr;
    while (!abort && !deadline.hasExpired()) {
        const int slice = int(std::min<qint64>(kSliceMs, std::max<qint64>(deadline.remainingTime(), 0)));
        if (!hasLoop) {
            std::this_thread::sleep_for(std::chrono::milliseconds(slice));
            continue;
        }
        QEventLoop loop;
        QTimer::singleShot(slice, &loop, &QEventLoop::quit);
        loop.exec();
    }
}
