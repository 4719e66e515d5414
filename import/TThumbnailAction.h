#pragma once

#include "import/TBaseImportAction.h"

// A file's thumbnail ("get_thumbnail.cgi?DIR=/DCIM..."), a small JPEG into Data.
class TThumbnailAction : public TBaseImportAction
{
public:
    explicit TThumbnailAction(TCameraLink link, const QString& cgiName = QStringLiteral("get_thumbnail"));

    // Enabled when the GET method has the key "DIR".
    bool Probe(const TCGIFunction* description) override;
    using TBaseImportAction::Execute;
    // cameraPath as TCameraImportItem::CameraPath gives it. A disabled action returns true with
    // empty Data.
    bool Execute(const QString& cameraPath);
};
