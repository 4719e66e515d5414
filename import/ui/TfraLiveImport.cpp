#include "import/ui/TfraLiveImport.h"

#include "base/ui/DarkStyle.h"

#include <QTimer>

TfraLiveImport::TfraLiveImport(QWidget* parent)
    : TfraCameraPage(parent)
{
    DarkStyle::FillPlaceholder(this, QStringLiteral("Live-Import"));
}

void TfraLiveImport::OnLeaveModule() { }

void TfraLiveImport::CancelTransfer()
{
    ++m_cancelRequests;
    if (!m_transferring)
        return;
    QTimer::singleShot(m_cancelDelayMs, this, [this] { m_transferring = false; });
}

void TfraLiveImport::SimulateTransfer(int cancelDelayMs)
{
    m_transferring = true;
    m_cancelDelayMs = cancelDelayMs;
}
