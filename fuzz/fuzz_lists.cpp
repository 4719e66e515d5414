// Feeds arbitrary bytes as a listing answer (first byte clear) or a folder page (first byte set)
// through line splitting, record extraction and the folder and file record parsers.
#include "import/ListParsing.h"
#include "import/THTTPImageListAction.h"

#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const bool page = (data[0] & 1) != 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    // Never connected: the parsing below sends nothing.
    THTTPImageListAction action(TCameraLink::ToHost(QStringLiteral("127.0.0.1:1")));
    action.Lines = TBaseImportAction::SplitLines(text);
    if (page)
        action.ExtractListLines();
    action.ParseFolders();
    action.ParseItems();
    TCameraImportItems items;
    ParseItemRecords(action.Lines, items);
    return 0;
}
