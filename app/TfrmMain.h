#pragma once

#include "app/TBusyOverlay.h"
#include "app/TMainPages.h"
#include "base/ui/TTranslationForm.h"
#include "platform/TWifiJoin.h"

#include <QRect>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QStackedWidget;
class QToolButton;
class TCamera;
class TfraStartPage;
class TfrmInProcessing;
class TfrmInfo;
class TMainKeys;
class TRunningWork;
class TfrmPreview;
class TfrmSettings;
class TSetup;
class TStatusBar;
class TTopBar;

// The program's only main window. It owns the camera object, shows whether and how the camera is
// connected, switches between the pages (only through ShowTabSheet), shows the pages' progress and
// lays the busy overlay over itself while they talk to the camera. Power off, the camera clock,
// settings and info sit in the status bar. It composes the top bar, the pages (from the page table)
// and the status bar and leaves every camera request to the camera object.
class TfrmMain : public TTranslationForm
{
    Q_OBJECT

public:
    enum MessageKind { mkInformation, mkError };

    // wifiRunner starts the system's Wi-Fi command (the camera's network while it stays away, the
    // home network at close); without one the command really runs.
    explicit TfrmMain(TSetup* setup, TWifiJoin::Runner wifiRunner = {}, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The windows created after this one at start-up; any of them may be missing (tests).
    void SetProcessingWindow(TfrmInProcessing* window) { m_busy.SetWindow(window); }
    // The remote control page shows its last shot in it.
    void SetPreviewWindow(TfrmPreview* window);
    void SetSettingsWindow(TfrmSettings* window) { m_settings = window; }
    void SetInfoWindow(TfrmInfo* window) { m_info = window; }
    TfrmInProcessing* ProcessingWindow() const { return m_busy.Window(); }

    // Shown and brought to the front, as a second start of the program asks.
    void BringToFront();

    // Questions and messages go through these, so that tests can answer them; by default message
    // boxes. AskQuestion returns true for Yes.
    std::function<bool(const QString& question)> AskQuestion;
    std::function<void(const QString& text, MessageKind kind)> ShowMessage;

    TCamera* Camera() const { return m_camera.get(); }
    QWidget* CurrentSheet() const { return m_currentSheet; }
    int ActiveComm() const { return m_busy.ActiveComm(); }
    // Where the busy overlay leaves the title and progress area free, in this window's coordinates.
    QRect ProcessingRect() const;

    // The only way pages are switched; refused while a page communicates with the camera.
    void ShowTabSheet(QWidget* sheet);
    void UpdateConnection(bool connected);
    // Colours its button, shows the sheet, starts the page (when start is set) and makes it current;
    // asks neither the camera nor the page being left (ShowTabSheet does).
    void ShowPage(const TMainPages::Entry& entry, bool start);

    // The pages' events.
    void OnProgress(const QString& caption, const QString& detail, bool finished, int percent);
    void OnCommunication(const TCommunication& communication);

    void btnPowerOffClick();
    void btnSyncTimeClick();
    void btnSettingsClick();
    void btnInfoClick();

    // A page of the page table by its class, with its sheet and its top bar button.
    template<class Page> Page* FindPage() const { return pcMain->Find<Page>(); }
    template<class Page> QWidget* SheetOf() const { return pcMain->SheetOf<Page>(); }
    template<class Page> QPushButton* ButtonOf() const { return pcMain->ButtonOf<Page>(); }

    // The top bar, the pages and the status bar; the controls inside them that carry this window's
    // names are reachable here as well.
    TTopBar* pnlPageControl;
    QStackedWidget* pcTitle;
    TMainPages* pcMain;
    TfraStartPage* tsConnect;
    TStatusBar* pnlStatus;
    QLabel* lblConnectionState;
    QToolButton* btnPowerOff;
    QToolButton* btnSyncTime;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* createPages();
    QWidget* createStatusBar();
    bool cameraConnected() const;
    // Runs work of the window's own as a communication (ceStart, ceStop, each with its log line).
    void communicate(const QString& operation, const std::function<void()>& work);
    void detailLog(const QString& message) const;
    void showConnectionState();

    TSetup* m_setup;
    TWifiJoin m_homeWifi;
    std::unique_ptr<TCamera> m_camera;
    std::unique_ptr<TMainKeys> m_keys;
    std::unique_ptr<TRunningWork> m_running;
    QWidget* m_currentSheet = nullptr;
    TBusyOverlay m_busy;
    TfrmSettings* m_settings = nullptr;
    TfrmInfo* m_info = nullptr;
};
