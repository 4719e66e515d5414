#include "import/ui/TfraPhotoImport.h"

#include "app/ui/DarkStyle.h"

TfraPhotoImport::TfraPhotoImport(QWidget* parent)
    : TfraCameraPage(parent)
{
    DarkStyle::FillPlaceholder(this, QStringLiteral("Fotoimport"));
}
