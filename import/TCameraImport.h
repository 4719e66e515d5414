#pragma once

#include "import/TFileLoaderAction.h"
#include "import/THTTPImageListAction.h"
#include "import/TImageListAction.h"
#include "import/TRSVImageListAction.h"
#include "import/TScreennailAction.h"
#include "import/TThumbnailAction.h"

#include <array>

class TOIShare;

// The import part of the camera object: the six card actions, enabled from the command list. The
// pages drive the listings and transfers through it.
class TCameraImport
{
public:
    explicit TCameraImport(const TCameraLink& link);
    TCameraImport(const TCameraImport&) = delete;
    TCameraImport& operator=(const TCameraImport&) = delete;

    TRSVImageListAction ReservedList;
    TImageListAction ImageList;
    TThumbnailAction Thumbnail;
    TScreennailAction Screennail;
    THTTPImageListAction DirectoryList;
    TFileLoaderAction FileLoader;

    void Reset();
    // Probes the four listed actions the command list names (the others stay disabled), then the
    // folder pages and the file loader, which need no entry. False only on an error.
    bool Probe(const TOIShare& commandList);
    bool IsBusy() const;

    std::array<TBaseImportAction*, 6> Actions();
    std::array<const TBaseImportAction*, 6> Actions() const;
};
