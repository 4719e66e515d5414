#include "import/TScreennailAction.h"

TScreennailAction::TScreennailAction(TCameraLink link, const QString& cgiName)
    : TBaseImportAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("TScreennailAction"));
}

bool TScreennailAction::Probe(const TCGIFunction* description)
{
    Reset();
    Enabled = HasGetWithDir(description);
    return true;
}
