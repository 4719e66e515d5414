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

void TBusyOverlay::OnCommunication(const TCommunication& communication)
{
    switch (communication.Kind) {
    case ceStart:
        ++m_activeComm;
        // Not for a short exchange.
        if (!isShowing())
            tmrProcessing.start(500);
        break;
    case ceStop:
        if (m_activeComm > 0)
            --m_activeComm;
        if (m_activeComm == 0)
            Hide();
        break;
    case ceChangeFreeRegion:
        if (m_window)
            m_window->SetFreeRegions(communication.FreeRegions, communication.RegionIndex(), m_areaRect());
        break;
    }
}

void TBusyOverlay::Hide()
{
    tmrProcessing.stop();
    if (isShowing())
        m_window->Hide();
}
