#include "camera/TDiagnosisRunner.h"

#include <QThread>

#include <atomic>

struct TDiagnosisRunner::Run
{
    std::atomic<bool> aborted { false };
    QList<TDoctorResult> steps; // written by the thread, read after it finished
};

TDiagnosisRunner::TDiagnosisRunner(LinkSource link, TConnectionDoctor::Resolver resolver, QObject* parent)
    : QObject(parent)
    , m_link(std::move(link))
    , m_resolver(std::move(resolver))
{ }

TDiagnosisRunner::~TDiagnosisRunner()
{
    if (!m_thread)
        return;
    // The abort ends a waiting request at once; only a system name lookup may take its time.
    m_run->aborted = true;
    m_thread->wait();
    delete m_thread;
}

void TDiagnosisRunner::cancel()
{
    m_again = false;
    if (m_run)
        m_run->aborted = true;
}

void TDiagnosisRunner::start()
{
    if (m_thread) {
        m_again = true;
        return;
    }
    m_again = false;
    auto run = std::make_shared<Run>();
    m_run = run;
    // Built here, so its texts are registered on this thread; only run() happens on the other.
    TConnectionDoctor doctor(m_link(), m_resolver);
    doctor.setLastStep(TDoctorStep::Private);
    doctor.setAbortCheck([run] { return run->aborted.load(); });
    m_thread = QThread::create([doctor = std::move(doctor), run] { run->steps = doctor.run(); });
    connect(m_thread, &QThread::finished, this, [this, run] { finished(run); });
    m_thread->start();
}

void TDiagnosisRunner::finished(const std::shared_ptr<Run>& run)
{
    m_thread->deleteLater();
    m_thread = nullptr;
    if (!run->aborted && OnAdvice) {
        const QList<TDoctorResult>& steps = run->steps;
        OnAdvice(!steps.isEmpty() && !steps.last().Ok ? steps.last().text() : QString());
    }
    if (m_again)
        start();
}
