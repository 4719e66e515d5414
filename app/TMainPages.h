#pragma once

#include <QStackedWidget>

#include <array>

class QPushButton;
class TSetup;
class TTopBar;
class TfraCameraPage;
class TfraDebug;
class TfraLiveImport;
class TfraPhotoImport;
class TfraRemoteControl;
class TfraRemoteRelease;
class TfraStartPage;
class TfrmViewer;

// The main window's pages, one sheet each: start page, photo import, live import, remote control,
// remote release and debug page. Only the main window switches them. A plain stack (no "Tfra" class),
// so the pages keep the main window's text keys.
class TMainPages : public QStackedWidget
{
    Q_OBJECT

public:
    // A page that works with the camera, with its sheet and its button in the top bar.
    struct CameraPage
    {
        QWidget* sheet;
        TfraCameraPage* page;
        QPushButton* button;
    };

    TMainPages(TSetup* setup, TfrmViewer* viewer, TTopBar* topBar, QWidget* parent = nullptr);

    // Photo import, live import, remote control, remote release.
    const std::array<CameraPage, 4>& CameraPages() const { return m_cameraPages; }
    // The camera page on sheet; nullptr for the start and debug pages.
    const CameraPage* CameraPageOn(const QWidget* sheet) const;
    // Stops the live import, remote control and remote release pages except the one on sheet.
    void StopPagesExcept(const QWidget* sheet);
    // The program closes: the remote control, live import and remote release pages stop, each even
    // when another failed.
    void LeavePages();
    // Enables each camera page and its button by the camera's capabilities (TCamera::Capability).
    void EnableFor(quint8 capabilities);

    TfraStartPage* tsConnect;
    QWidget* tsPhotoImport;
    QWidget* tsLiveImport;
    QWidget* tsRemoteControl;
    QWidget* tsRemoteRelease;
    QWidget* tsDebug;
    TfraPhotoImport* fraPhotoImport;
    TfraLiveImport* fraLiveImport;
    TfraRemoteControl* fraRemoteControl;
    TfraRemoteRelease* fraRemoteRelease;
    TfraDebug* fraDebug;

private:
    QWidget* addSheet(const QString& name, QWidget* content);

    std::array<CameraPage, 4> m_cameraPages;
};
