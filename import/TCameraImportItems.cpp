#include "import/TCameraImportItems.h"

namespace {

QString baseName(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}

} // namespace

TCameraImportItems::TCameraImportItems()
    : TBaseCameraImportItems(true)
{ }

const TBaseCameraImportItems& TCameraImportItems::LatestGroup()
{
    m_latest.Clear();
    if (Count() == 0)
        return m_latest;
    SortItems();
    const QString base = baseName(At(Count() - 1)->FileName);
    for (int i = Count() - 1; i >= 0; --i) {
        if (baseName(At(i)->FileName) != base)
            break;
        m_latest.append(At(i));
    }
    return m_latest;
}
