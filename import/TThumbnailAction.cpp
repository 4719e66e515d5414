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
    BusyGuard busy(*this);
    Data.clear();
    Lines.clear();
    LastError.clear();
    ResponseCode = -1;
    if (!Enabled)
        return true;
    QByteArray body;
    const bool result = sendRequest(Link.url(Endpoint::Thumbnail) + QStringLiteral("?DIR=/DCIM") + cameraPath,
        Timeout::Thumbnail, Timeout::LogBodyThumbnail, body);
    if (result)
        Data = body;
    if (OnDone)
        OnDone(this, result);
    return result;
}
