#pragma once

#include "import/TBaseImportAction.h"

// The larger preview picture ("get_screennail.cgi"); only probed, no page asks for it.
class TScreennailAction : public TBaseImportAction
{
public:
    explicit TScreennailAction(TCameraLink link, const QString& cgiName = QStringLiteral("get_screennail"));

    // Enabled when the GET method has the key "DIR".
    bool Probe(const TCGIFunction* description) override;
};
