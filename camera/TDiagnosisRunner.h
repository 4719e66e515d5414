#pragma once

#include "camera/TCameraLink.h"
#include "camera/TConnectionDoctor.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QThread;

// Runs the connection diagnosis for a window that waits for the camera, on a thread of its own so a
// name lookup or a time-out never holds up the window. Only the quick steps up to the connection
// mode run (no live view is started behind the user's back), one run at a time: a start during a
// run asks for one more run afterwards; cancel ends the run under way and drops its verdict (the
// camera connected meanwhile).
class TDiagnosisRunner : public QObject
{
public:
    using LinkSource = std::function<TCameraLink()>;

    explicit TDiagnosisRunner(
        LinkSource link, TConnectionDoctor::Resolver resolver = {}, QObject* parent = nullptr);
    ~TDiagnosisRunner() override;

    // On the owner's thread: the first failure's sentence in the current language, empty when
    // every quick step passed.
    std::function<void(const QString& advice)> OnAdvice;

    void start();
    void cancel();
    bool IsRunning() const { return m_thread != nullptr; }

private:
    struct Run;
    void finished(const std::shared_ptr<Run>& run);

    LinkSource m_link;
    TConnectionDoctor::Resolver m_resolver;
    QThread* m_thread = nullptr;
    std::shared_ptr<Run> m_run;
    bool m_again = false;
};
