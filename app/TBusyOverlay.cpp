#include "app/TBusyOverlay.h"

#include "import/ui/TfrmInProcessing.h"

TBusyOverlay::TBusyOverlay(std::function<QRect()> areaRect, QObject* parent)
    : QObject(parent)
    , m_areaRect(std::move(areaRect))
{
    tmrProcessing.setInterval(0);
    connect(&tmrProcessing, &QTimer::timeout, this, [this] {
        tmrProcessing.stop();
        if (m_window)
            m_window->Show(m_areaRect());
    });
}

bool TBusyOverlay::isShowing() const
{
    return m_window && m_window->isVisible();
}

void TBusyOverlay::CommunicationStarted()
{
    ++m_activeComm;
    // Not for a short exchange.
    if (!isShowing())
        tmrProcessing.start(500);
}

void TBusyOverlay::CommunicationStopped()
{
    if (m_activeComm > 0)
        --m_activeComm;
    if (m_activeComm == 0)
        Hide();
}

void TBusyOverlay::SetFreeRegions(const QList<QRect>& rects, int regionIndex)
{
    if (m_window)
        m_window->SetFreeRegions(rects, regionIndex, m_areaRect());
}

void TBusyOverlay::Hide()
{
    tmrProcessing.stop();
    if (isShowing())
        m_window->Hide();
}
