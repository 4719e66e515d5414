#include "app/TRunningWork.h"

#include "app/TMainPages.h"
#include "base/TNamedTexts.h"
#include "camera/WaitFunc.h"
#include "import/ui/TfraLiveImport.h"
#include "remote/ui/TfraRemoteControl.h"

TRunningWork::TRunningWork(const TMainPages& pages, Ask ask, Communicate communicate)
    : m_pages(pages)
    , m_ask(std::move(ask))
    , m_communicate(std::move(communicate))
{ }

bool TRunningWork::StopTimeLapseSeries() const
{
    TfraRemoteControl* remote = m_pages.Find<TfraRemoteControl>();
    if (!remote || !remote->IsTimeLapseRunning())
        return true;
    if (!m_ask(rs("_rsTimeLapseStopAsk")))
        return false;
    remote->StopTimeLapse();
    return true;
}

bool TRunningWork::CancelLiveImportTransfer(const std::function<void()>& beforeCancel) const
{
    TfraLiveImport* live = m_pages.Find<TfraLiveImport>();
    if (!live || !live->IsTransferring())
        return true;
    if (!m_ask(rs("_rsCancelLiveImport")))
        return false;
    if (beforeCancel)
        beforeCancel();
    live->CancelTransfer();
    m_communicate(QStringLiteral("TfrmMain.ShowTabSheet"), [live] {
        while (live->IsTransferring())
            Wait(250);
    });
    return true;
}
