#include "camera/TBaseAction.h"

#include "base/TLogger.h"

#include <exception>

TBaseAction::TBaseAction(TCameraLink link)
    : Link(std::move(link))
{ }

TBaseAction::~TBaseAction() = default;

void TBaseAction::Reset()
{
    Busy = false;
    ++m_resets;
}

bool TBaseAction::runRequest(const RequestFrame& frame)
{
    const QString operation
        = frame.Operation.isEmpty() ? m_className + QStringLiteral(".Execute") : frame.Operation;
    BusyGuard busy(*this);
    LastFailure = TCameraFailure::None;
    if (!frame.Enabled)
        return frame.DisabledResult;
    try {
        const quint64 resets = m_resets;
        const TCameraRequest request = frame.Prepare();
        TCameraAnswer answer;
        if (resets == m_resets)
            answer = Link.send(request);
        if (resets != m_resets) {
            // The answer belongs to a camera state that is gone.
            logTrace(operation + QStringLiteral(": reset while waiting, answer dropped"));
            LastFailure = TCameraFailure::Reset;
            return false;
        }
        if (!answer.Completed)
            logError(QStringLiteral("%1: %2").arg(operation, answer.Error));
        TCameraFailure failure = frame.Judge(answer);
        // A missing or broken answer is why, whatever the status line said.
        if (failure != TCameraFailure::None && !answer.Completed)
            failure = answer.Failure;
        LastFailure = failure;
        const bool result = failure == TCameraFailure::None;
        if (frame.Done)
            frame.Done(result);
        return result;
    } catch (const std::exception& e) {
        logError(QStringLiteral("%1 (Ex): %2").arg(operation, QString::fromLocal8Bit(e.what())));
    } catch (...) {
        logError(operation + QStringLiteral(" (Ex): unknown error"));
    }
    LastFailure = TCameraFailure::Internal;
    return false;
}

void TBaseAction::logTrace(const QString& message)
{
    TLogger::LogTrace(message);
}

void TBaseAction::logError(const QString& message)
{
    TLogger::LogAlways(message);
}
