#pragma once

#include <QString>

#include <functional>

class TMainPages;

// Work on a page that ends only when the user says so, asked before another page is shown or the
// window closes: a running time-lapse series and a running live import transfer.
class TRunningWork
{
public:
    using Ask = std::function<bool(const QString& question)>;
    // Runs work as a communication of the main window's own, named for the log.
    using Communicate = std::function<void(const QString& operation, const std::function<void()>& work)>;

    TRunningWork(const TMainPages& pages, Ask ask, Communicate communicate);

    // True when no series runs (any more).
    bool StopTimeLapseSeries() const;
    // True when no transfer runs (any more); false when the user keeps it. beforeCancel runs once the
    // user has agreed, before the transfer is cancelled.
    bool CancelLiveImportTransfer(const std::function<void()>& beforeCancel = {}) const;

private:
    const TMainPages& m_pages;
    Ask m_ask;
    Communicate m_communicate;
};
