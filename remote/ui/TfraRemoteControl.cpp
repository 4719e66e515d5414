#include "remote/ui/TfraRemoteControl.h"

#include "base/ui/DarkStyle.h"

TfraRemoteControl::TfraRemoteControl(QWidget* parent)
    : TfraCameraPage(parent)
{
    DarkStyle::FillPlaceholder(this, QStringLiteral("Fernsteuerung"));
}
