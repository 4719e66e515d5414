#pragma once

#include "base/ui/TfraCameraPage.h"
#include "remote/TRemoteRelease.h"

class QLabel;
class QLineEdit;
class QStackedWidget;
class QToolButton;
class TSetup;
class TfraLiveView;

// The page "Fernauslöser": one big release button; the camera stays in shutter mode. While the page
// is shown, the camera's newest folder is read every two seconds and the page shows how many files
// came since the camera was set, their size and the latest shot. In debug mode a second button
// switches the picture area to live view.
//
// The release object (TRemoteRelease) decides and talks to the camera; the page shows what it found
// and forwards its communications as OnCommunication.
class TfraRemoteRelease : public TfraCameraPage
{
    Q_OBJECT

public:
    explicit TfraRemoteRelease(QWidget* parent = nullptr);
    ~TfraRemoteRelease() override;

    // Debug mode, detailed trace lines; without settings both are off.
    void SetSetup(TSetup* setup);

    // Stores the camera and forgets every count and the last shot.
    void SetCamera(TCamera* camera) override;
    // Shows the view, takes the baseline of the newest folder and starts polling.
    void GoStart() override;
    // Stops polling and the view; the counters stay.
    void OnLeaveModule();
    void GoStop() override { OnLeaveModule(); }
    void ToggleDebugView() override;

    void StartView();
    void StopView();
    void UpdateTakeButton();
    void UpdateTypeLabels();
    void UpdateCounters();
    bool TakePhoto();
    // The latest shot's kinds as marks; they belong to the live view panel once it is there.
    void SetRecordingFormats(bool jpeg, bool raw);

    void btnTakeClick();
    void btnLiveStreamClick();

    bool IsLiveViewOn() const { return m_liveViewOn; }
    bool IsJpegShown() const { return m_jpegShown; }
    bool IsRawShown() const { return m_rawShown; }
    TRemoteRelease& Release() { return m_release; }

    QStackedWidget* pcMain;
    QWidget* tshImage;
    QLabel* imgCamera;
    // Why the release cannot work: the camera refused its shutter-only mode.
    QLabel* lblModeRefused = nullptr;
    QWidget* tshLiveView;
    TfraLiveView* fraLiveView;
    QWidget* pnlParameters;
    QWidget* pnlActions;
    QLabel* lblImportPropertiesTitel;
    QLabel* lblCount;
    QLineEdit* edtCount;
    QLabel* lblDataSize;
    QLineEdit* edtDataSize;
    QLabel* lblLastTakeInfoCaption;
    QLabel* lblLastTakeInfo;
    QLabel* lblRaw;
    QLabel* lblJpeg;
    QToolButton* btnTake;
    QToolButton* btnLiveStream;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The panel keeps the size of the camera's live view; it sits centred in the picture area.
    void placeLiveView();
    QWidget* createParameterPanel();
    QWidget* createActionPanel();
    void showReleaseState();
    bool isDebugMode() const;

    TSetup* m_setup = nullptr;
    TRemoteRelease m_release;
    bool m_liveViewOn = false;
    bool m_jpegShown = false;
    bool m_rawShown = false;
};
