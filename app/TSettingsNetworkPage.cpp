#include "app/TSettingsNetworkPage.h"

#include "app/TLiveViewPortsBox.h"
#include "app/TfrmSettings.h"
#include "base/TSetup.h"

#include <QCheckBox>
#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

namespace {

QLineEdit* labelledEdit(QGridLayout* grid, int row, const char* labelName, const char* editName,
    const QString& caption, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(labelName));
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(editName));
    label->setBuddy(edit);
    grid->addWidget(label, row, 0, 1, 2);
    grid->addWidget(edit, row + 1, 0, 1, 2);
    return edit;
}

} // namespace

TSettingsNetworkPage::TSettingsNetworkPage(QWidget* parent)
    : QWidget(parent)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 6); // room for the longest caption at the fixed width
    chbWLanAutoConnect = new QCheckBox(QStringLiteral("WiFi-Verbindung automatisch herstellen"), this);
    chbWLanAutoConnect->setObjectName(QStringLiteral("chbWLanAutoConnect"));
    grid->addWidget(chbWLanAutoConnect, 0, 0, 1, 2);
    edtCameraWLanName = labelledEdit(
        grid, 1, "lblCameraWLanName", "edtCameraWLanName", QStringLiteral("WLAN-Name der Kamera"), this);
    edtCameraWLanSSID = labelledEdit(
        grid, 3, "lblCameraWLanSSID", "edtCameraWLanSSID", QStringLiteral("WLAN-SSID der Kamera"), this);
    edtHomeWLanName = labelledEdit(
        grid, 5, "lblHomeWLanName", "edtHomeWLanName", QStringLiteral("WLAN-Name des Heimnetzwerks"), this);
    edtHomeWLanSSID = labelledEdit(
        grid, 7, "lblHomeWLanSSID", "edtHomeWLanSSID", QStringLiteral("WLAN-SSID des Heimnetzwerks"), this);

    chbUseCameraIP
        = new QCheckBox(QStringLiteral("Kamera über IP-Adresse ansprechen (bei DNS-Problemen)"), this);
    chbUseCameraIP->setObjectName(QStringLiteral("chbUseCameraIP"));
    edCameraIP = new QLineEdit(QLatin1String(TfrmSettings::FactoryCameraIP), this);
    edCameraIP->setObjectName(QStringLiteral("edCameraIP"));
    lblCameraIPInfo
        = new QLabel(QStringLiteral("(z.B. %1)").arg(QLatin1String(TfrmSettings::FactoryCameraIP)), this);
    lblCameraIPInfo->setObjectName(QStringLiteral("lblCameraIPInfo"));
    lblCameraIPInfo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont small = lblCameraIPInfo->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    lblCameraIPInfo->setFont(small);
    grid->setRowMinimumHeight(9, 8);
    grid->addWidget(chbUseCameraIP, 10, 0, 1, 2);
    grid->addWidget(edCameraIP, 11, 0);
    grid->addWidget(lblCameraIPInfo, 11, 1);

    pnlLiveViewPorts = new TLiveViewPortsBox(this);
    grid->setRowMinimumHeight(12, 8);
    grid->addWidget(pnlLiveViewPorts, 13, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(14, 1);

    connect(chbWLanAutoConnect, &QCheckBox::toggled, this, &TSettingsNetworkPage::updateEnabled);
    connect(chbUseCameraIP, &QCheckBox::toggled, this, &TSettingsNetworkPage::updateEnabled);
    updateEnabled();
}

void TSettingsNetworkPage::Load(const TSetup& setup)
{
    edtCameraWLanName->setText(setup.CameraWLanName);
    edtCameraWLanSSID->setText(setup.CameraWLanSSID);
    edtHomeWLanName->setText(setup.HomeWLanName);
    edtHomeWLanSSID->setText(setup.HomeWLanSSID);
    chbWLanAutoConnect->setChecked(setup.WLanAutoConnect);
    chbUseCameraIP->setChecked(setup.UseCameraIP);
    edCameraIP->setText(setup.CameraIP);
    pnlLiveViewPorts->Load(setup);
    updateEnabled();
}

bool TSettingsNetworkPage::CameraAddress(QString& address) const
{
    address = edCameraIP->text();
    address.remove(QRegularExpression(QStringLiteral("\\s")));
    if (!chbUseCameraIP->isChecked()) {
        address = QLatin1String(TfrmSettings::FactoryCameraIP);
        return true;
    }
    return !address.isEmpty() && TSetup::IsValidCameraIP(address);
}

void TSettingsNetworkPage::Store(TSetup& setup, const QString& cameraAddress) const
{
    setup.CameraWLanName = edtCameraWLanName->text();
    setup.CameraWLanSSID = edtCameraWLanSSID->text();
    setup.HomeWLanName = edtHomeWLanName->text();
    setup.HomeWLanSSID = edtHomeWLanSSID->text();
    setup.WLanAutoConnect = chbWLanAutoConnect->isChecked();
    setup.UseCameraIP = chbUseCameraIP->isChecked();
    setup.SetCameraIP(cameraAddress);
    pnlLiveViewPorts->Store(setup);
}

bool TSettingsNetworkPage::Same(const TSetup& a, const TSetup& b)
{
    return a.CameraWLanName == b.CameraWLanName && a.CameraWLanSSID == b.CameraWLanSSID
        && a.HomeWLanName == b.HomeWLanName && a.HomeWLanSSID == b.HomeWLanSSID
        && a.WLanAutoConnect == b.WLanAutoConnect && a.UseCameraIP == b.UseCameraIP
        && a.CameraIP == b.CameraIP && TLiveViewPortsBox::Same(a, b);
}

void TSettingsNetworkPage::updateEnabled()
{
    const bool wlan = chbWLanAutoConnect->isChecked();
    for (QLineEdit* edit : { edtCameraWLanName, edtCameraWLanSSID, edtHomeWLanName, edtHomeWLanSSID })
        edit->setEnabled(wlan);
    const bool byIP = chbUseCameraIP->isChecked();
    edCameraIP->setEnabled(byIP);
    lblCameraIPInfo->setEnabled(byIP);
}
