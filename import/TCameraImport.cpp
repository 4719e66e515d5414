#include "import/TCameraImport.h"

#include "base/TLogger.h"
#include "camera/TOIShare.h"

#include <algorithm>
#include <exception>

TCameraImport::TCameraImport(const TCameraLink& link)
    : ReservedList(link, QStringLiteral("get_rsvimglist"))
    , ImageList(link, QStringLiteral("get_imglist"))
    , Thumbnail(link, QStringLiteral("get_thumbnail"))
    , Screennail(link, QStringLiteral("get_screennail"))
    , DirectoryList(link, QString())
    , FileLoader(link, QString())
{
    // The pages that care about an end assign their own handlers (the loader's OnLoaded).
    for (TBaseImportAction* action : Actions())
        action->OnDone = [](TBaseImportAction*, bool) {};
}

std::array<TBaseImportAction*, 6> TCameraImport::Actions()
{
    return { &ReservedList, &ImageList, &Thumbnail, &Screennail, &DirectoryList, &FileLoader };
}

std::array<const TBaseImportAction*, 6> TCameraImport::Actions() const
{
    return { &ReservedList, &ImageList, &Thumbnail, &Screennail, &DirectoryList, &FileLoader };
}

void TCameraImport::Reset()
{
    for (TBaseImportAction* action : Actions())
        action->Reset();
}

bool TCameraImport::Probe(const TOIShare& commandList)
{
    try {
        for (TBaseImportAction* action :
            { static_cast<TBaseImportAction*>(&ReservedList), static_cast<TBaseImportAction*>(&ImageList),
                static_cast<TBaseImportAction*>(&Thumbnail), static_cast<TBaseImportAction*>(&Screennail) }) {
            const TCGIFunction* description = commandList.Functions.Find(action->CGIName);
            if (description && !action->Probe(description))
                return false;
        }
        return DirectoryList.Probe(nullptr) && FileLoader.Probe(nullptr);
    } catch (const std::exception& e) {
        TLogger::LogAlways(
            QStringLiteral("TCameraImport.Probe (Ex): %1").arg(QString::fromLocal8Bit(e.what())));
    } catch (...) {
        TLogger::LogAlways(QStringLiteral("TCameraImport.Probe (Ex): unknown error"));
    }
    return false;
}

bool TCameraImport::IsBusy() const
{
    const auto actions = Actions();
    return std::any_of(actions.begin(), actions.end(), [](const TBaseImportAction* a) { return a->Busy; });
}
