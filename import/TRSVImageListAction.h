#pragma once

#include "import/TBaseImportAction.h"

// The list of pictures the camera reserved for transfer ("get_rsvimglist.cgi"); kept as it comes.
class TRSVImageListAction : public TBaseImportAction
{
public:
    explicit TRSVImageListAction(TCameraLink link, const QString& cgiName = QStringLiteral("get_rsvimglist"));

    // Enabled when the description has a GET method.
    bool Probe(const TCGIFunction* description) override;
    bool Execute() override;
};
