#pragma once

#include "base/ui/TfraCameraPage.h"

// The live import page: downloads every new picture as soon as the camera has taken it. For now a
// dark panel with the page's name; the transfer state is what the main window asks about before it
// leaves the page or closes.
class TfraLiveImport : public TfraCameraPage
{
    Q_OBJECT

public:
    explicit TfraLiveImport(QWidget* parent = nullptr);

    // The page's stop operation; GoStop leads here.
    void OnLeaveModule();
    void GoStop() override { OnLeaveModule(); }

    bool IsTransferring() const { return m_transferring; }
    // Asks a running transfer to end; it ends once the file in flight is dealt with, so callers
    // wait for IsTransferring to turn false.
    void CancelTransfer();

    // Stand-in for a real transfer until the page downloads: transferring from now on; after a
    // CancelTransfer it ends cancelDelayMs later.
    void SimulateTransfer(int cancelDelayMs);
    int CancelRequests() const { return m_cancelRequests; }

private:
    bool m_transferring = false;
    int m_cancelDelayMs = 0;
    int m_cancelRequests = 0;
};
