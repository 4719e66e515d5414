#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class TLiveViewPortsBox;
class TSetup;

// The settings dialog's network page: joining the camera's and the home Wi-Fi network, the camera
// by IP address, the live view ports. A plain panel (no "Tfra" class), so its controls keep the
// dialog's text keys.
class TSettingsNetworkPage : public QWidget
{
    Q_OBJECT

public:
    explicit TSettingsNetworkPage(QWidget* parent = nullptr);

    void Load(const TSetup& setup);
    // The camera address to store (blanks removed; the factory address when not used); false when
    // the address to use is not valid.
    bool CameraAddress(QString& address) const;
    void Store(TSetup& setup, const QString& cameraAddress) const;
    // True when both hold the same values of this page.
    static bool Same(const TSetup& a, const TSetup& b);

    QCheckBox* chbWLanAutoConnect = nullptr;
    QLineEdit* edtCameraWLanName = nullptr;
    QLineEdit* edtCameraWLanSSID = nullptr;
    QLineEdit* edtHomeWLanName = nullptr;
    QLineEdit* edtHomeWLanSSID = nullptr;
    QCheckBox* chbUseCameraIP = nullptr;
    QLineEdit* edCameraIP = nullptr;
    QLabel* lblCameraIPInfo = nullptr;
    TLiveViewPortsBox* pnlLiveViewPorts = nullptr;

private:
    void updateEnabled();
};
