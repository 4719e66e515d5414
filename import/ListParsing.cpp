#include "import/ListParsing.h"

#include "import/CommaText.h"

QStringList ParseFolderRecords(const QStringList& lines)
{
    QStringList folders;
    for (const QString& line : lines) {
        const QStringList fields = SplitCommaText(line);
        if (fields.size() != 6 || fields.at(0).compare(QLatin1String("/DCIM"), Qt::CaseInsensitive) != 0)
            continue;
        if (!folders.contains(fields.at(1), Qt::CaseInsensitive))
            folders.append(fields.at(1));
    }
    return folders;
}

void ParseItemRecords(const QStringList& lines, TCameraImportItems& items)
{
    items.Clear();
    items.BeginUpdate();
    for (const QString& line : lines) {
        if (!line.startsWith(QLatin1String("/DCIM/")))
            continue;
        // From the slash before the folder name on: "/100OLYMP,P1010001.JPG,...".
        const QStringList fields = SplitCommaText(QStringView(line).mid(5));
        if (fields.size() != 6)
            continue;
        items.Add(fields.at(0), fields.at(1), fields.at(2), fields.at(4), fields.at(5));
    }
    items.EndUpdate();
}
