#pragma once

#include "import/TBaseCameraImportItems.h"

// The owning list of a folder's files, with the newest shot's group beside it.
class TCameraImportItems : public TBaseCameraImportItems
{
public:
    TCameraImportItems();

    // The newest entry and those before it that share its name without extension (exact case),
    // newest first: the files of the last shot, such as P1010001.ORF and P1010001.JPG. The list
    // refers to this list's entries and is refilled by every call.
    const TBaseCameraImportItems& LatestGroup();

private:
    class TReferenceList : public TBaseCameraImportItems
    {
    public:
        TReferenceList()
            : TBaseCameraImportItems(false)
        { }
        void append(TCameraImportItem* item) { appendReference(item); }
    };
    TReferenceList m_latest;
};
