#include "import/TRSVImageListAction.h"

#include "camera/CameraEndpoints.h"
#include "camera/TCGIFunction.h"

TRSVImageListAction::TRSVImageListAction(TCameraLink link, const QString& cgiName)
    : TBaseImportAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("TRSVImageListAction"));
}

bool TRSVImageListAction::Probe(const TCGIFunction* description)
{
    Reset();
    Enabled = description && description->Methods.HasMethod(THTTPMethod::Kind::Get);
    return true;
}

bool TRSVImageListAction::Execute()
{
    return runListRequest(Link.url(Endpoint::RsvImgList));
}
