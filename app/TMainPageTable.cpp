#include "app/TMainPageTable.h"

#include "app/TfraDebug.h"
#include "import/ui/TfraLiveImport.h"
#include "import/ui/TfraPhotoImport.h"
#include "remote/ui/TfraRemoteControl.h"
#include "remote/ui/TfraRemoteRelease.h"
#include "session/TCamera.h"

namespace {

// The pages that show pictures in the run's one viewer.
template<class Page> TfraCameraPage* withViewer(const TPageContext& context)
{
    auto* page = new Page;
    page->SetSetup(context.Setup);
    page->SetViewer(context.Viewer);
    return page;
}

template<class Page> TfraCameraPage* withSetup(const TPageContext& context)
{
    auto* page = new Page;
    page->SetSetup(context.Setup);
    return page;
}

TfraCameraPage* debugPage(const TPageContext& context)
{
    auto* page = new TfraDebug(context.Setup);
    page->SetViewer(context.Viewer);
    return page;
}

constexpr TMainPageRow kPages[] = {
    { "tsPhotoImport", "fraPhotoImport", "btnPhotoImport", "Fotoimport", TCamera::CapImport,
        TMainPageRow::lvKeep, Qt::Key_I, &withViewer<TfraPhotoImport> },
    { "tsLiveImport", "fraLiveImport", "btnLiveimport", "Live-Import", TCamera::CapRelease,
        TMainPageRow::lvStop, Qt::Key_L, &withViewer<TfraLiveImport> },
    { "tsRemoteControl", "fraRemoteControl", "btnRemoteControl", "Fernsteuerung", TCamera::CapRemote,
        TMainPageRow::lvStop, Qt::Key_R, &withSetup<TfraRemoteControl> },
    { "tsRemoteRelease", "fraRemoteRelease", "btnRemoteRelease", "Fernauslöser", TCamera::CapRelease,
        TMainPageRow::lvStop, Qt::Key_F, &withSetup<TfraRemoteRelease> },
    { "tsDebug", "fraDebug", nullptr, nullptr, 0, TMainPageRow::lvKeep, Qt::Key_T, &debugPage },
};

} // namespace

std::span<const TMainPageRow> MainPageTable()
{
    return kPages;
}
