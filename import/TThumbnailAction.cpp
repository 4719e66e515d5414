#include "import/TThumbnailAction.h"

#include "camera/CameraEndpoints.h"

TThumbnailAction::TThumbnailAction(TCameraLink link, const QString& cgiName)
    : TBaseImportAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("TThumbnailAction"));
}

bool TThumbnailAction::Probe(const TCGIFunction* description)
{
    Reset();
    Enabled = HasGetWithDir(description);
    return true;
}

bool TThumbnailAction::Execute(const QString& cameraPath)
{
    Data.clear();
    Lines.clear();
    return runImportRequest(Link.url(Endpoint::Thumbnail) + QStringLiteral("?DIR=/DCIM") + cameraPath,
        Timeout::Thumbnail, Timeout::LogBodyThumbnail, [this](QByteArray& body) { Data = std::move(body); });
}
