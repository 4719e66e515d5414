#include "remote/ui/TfraRemoteRelease.h"

#include "base/ui/DarkStyle.h"

TfraRemoteRelease::TfraRemoteRelease(QWidget* parent)
    : TfraCameraPage(parent)
{
    DarkStyle::FillPlaceholder(this, QStringLiteral("Fernauslöser"));
}
