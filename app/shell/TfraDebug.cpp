#include "app/shell/TfraDebug.h"

#include "app/TMessageObserver.h"
#include "app/TSetup.h"

TfraDebug::TfraDebug(TSetup* setup, QWidget* parent)
    : TfraCameraPage(parent)
    , m_setup(setup)
{
    setObjectName(QStringLiteral("fraDebug"));
}

TfraDebug::~TfraDebug() = default;

QStringList TfraDebug::PresetPaths()
{
    return {};
}
bool TfraDebug::SaveLog(const QString&) const
{
    return false;
}
QString TfraDebug::LogText() const
{
    return {};
}
void TfraDebug::btnGetClick() { }
void TfraDebug::btnPostClick() { }
void TfraDebug::btnSaveClick() { }
void TfraDebug::tmrAutoLogTimer() { }
void TfraDebug::showEvent(QShowEvent* event)
{
    TfraCameraPage::showEvent(event);
}
