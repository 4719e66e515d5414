#include "import/TImageListAction.h"

#include "camera/CameraEndpoints.h"
#include "import/ListParsing.h"

TImageListAction::TImageListAction(TCameraLink link, const QString& cgiName)
    : TRSVImageListAction(std::move(link), cgiName)
{
    setClassName(QStringLiteral("TImageListAction"));
}

bool TImageListAction::Probe(const TCGIFunction* description)
{
    Reset();
    Enabled = HasGetWithDir(description);
    return true;
}

bool TImageListAction::Execute(const QString& folder)
{
    return runListRequest(Link.url(Endpoint::ImgList) + QStringLiteral("?DIR=/DCIM") + folder);
}

void TImageListAction::ParseFolders()
{
    Folders = ParseFolderRecords(Lines);
}

void TImageListAction::ParseItems()
{
    ParseItemRecords(Lines, Items);
}
