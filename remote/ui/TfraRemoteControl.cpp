#include "remote/ui/TfraRemoteControl.h"

#include "app/ui/DarkStyle.h"

TfraRemoteControl::TfraRemoteControl(QWidget* parent)
    : TfraCameraPage(parent)
{
    DarkStyle::FillPlaceholder(this, QStringLiteral("Fernsteuerung"));
}
