#pragma once

#include "import/TRSVImageListAction.h"

// The camera's listing request ("get_imglist.cgi?DIR=/DCIM..."): folders of /DCIM, or the files
// of one folder. Answered in play mode.
class TImageListAction : public TRSVImageListAction
{
public:
    explicit TImageListAction(TCameraLink link, const QString& cgiName = QStringLiteral("get_imglist"));

    // Enabled when the GET method has the key "DIR".
    bool Probe(const TCGIFunction* description) override;
    using TRSVImageListAction::Execute;
    // Empty folder: the folders; "/100OLYMP": that folder's files. An empty folder is answered 404.
    bool Execute(const QString& folder);
    void ParseFolders();
    void ParseItems();
};
