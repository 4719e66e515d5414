#pragma once

#include "app/ui/TfraCameraPage.h"

// The photo import page: the camera's folders as thumbnails, chosen files copied to the download folder. For
// now a dark panel with the page's name.
class TfraPhotoImport : public TfraCameraPage
{
    Q_OBJECT

public:
    explicit TfraPhotoImport(QWidget* parent = nullptr);
};
