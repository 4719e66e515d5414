#include "import/THTTPImageListAction.h"

#include "camera/CameraEndpoints.h"
#include "import/ListParsing.h"

#include <QRegularExpression>

THTTPImageListAction::THTTPImageListAction(TCameraLink link, const QString& cgiName)
    : TBaseImportAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("THTTPImageListAction"));
}

bool THTTPImageListAction::Probe(const TCGIFunction*)
{
    Reset();
    Enabled = true;
    return true;
}

bool THTTPImageListAction::Execute(const QString& folder)
{
    const bool result = runListRequest(Link.url(Endpoint::Dcim) + folder);
    ExtractListLines();
    return result;
}

void THTTPImageListAction::ExtractListLines()
{
    static const QRegularExpression record(
        QStringLiteral("^[ ]*wlansd\\[[0-9]*\\][ ]*=[ ]*\"([^\"]*)\";[ ]*$"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList kept;
    for (const QString& line : std::as_const(Lines)) {
        const QRegularExpressionMatch match = record.match(line.trimmed());
        if (match.hasMatch() && match.hasCaptured(1))
            kept.append(match.captured(1));
    }
    Lines = kept;
}

void THTTPImageListAction::ParseFolders()
{
    Folders = ParseFolderRecords(Lines);
}

void THTTPImageListAction::ParseItems()
{
    ParseItemRecords(Lines, Items);
}
