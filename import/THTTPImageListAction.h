#pragma once

#include "import/TBaseImportAction.h"

// The camera's own folder pages below "/DCIM", whose script lines carry the same records as the
// listing request; readable in shutter mode, where the listing request is not.
class THTTPImageListAction : public TBaseImportAction
{
public:
    explicit THTTPImageListAction(TCameraLink link, const QString& cgiName = QString());

    // Always enabled; probed without a description.
    bool Probe(const TCGIFunction* description) override;
    using TBaseImportAction::Execute;
    // GET "/DCIM" + folder, then ExtractListLines.
    bool Execute(const QString& folder);
    // Keeps only the records of the page's wlansd[...] = "..." lines.
    void ExtractListLines();
    void ParseFolders();
    void ParseItems();
};
