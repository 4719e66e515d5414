#pragma once

#include "app/TDebugLog.h"
#include "base/ui/TfraCameraPage.h"
#include "camera/TBaseAction.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class TSetup;

// The debug page: every log line as it is written, hand-made GET and POST requests to the camera,
// the log saved to a file on request and, in debug mode, every five seconds, and the camera's
// answers saved for a bug report.
class TfrmViewer;

class TfraDebug : public TfraCameraPage
{
    Q_OBJECT

public:
    static constexpr int MaxLogLines = TDebugLog::MaxLogLines;

    explicit TfraDebug(TSetup* setup, QWidget* parent = nullptr);
    ~TfraDebug() override;

    // Paths of the request presets; empty entries separate the groups.
    static QStringList PresetPaths();

    // Writes the memo's lines to the file, replacing it, when its folder exists.
    bool SaveLog(const QString& fileName) const { return memLog->Save(fileName); }
    QString LogText() const { return memLog->Text(); }

    // Seams for tests; by default the camera's HTTP transport, the system's save dialog and a
    // message box.
    TCameraTransport Transport;
    std::function<QString(QWidget* parent, const QString& title, const QString& filter)> ChooseSaveFile;
    std::function<void(QWidget* parent, const QString& text)> ShowError;
    std::function<QString(QWidget* parent, const QString& title, const QString& filter)> ChooseOpenFile;

    // The viewer that "Viewer" opens a file in; the button is enabled once there is one.
    void SetViewer(TfrmViewer* viewer);

    // Idle limit of a request: no byte for this long ends it, so a camera that stops answering
    // cannot leave the page waiting for ever.
    static constexpr int RequestIdleTimeoutMs = 30000;

    // The controls' handlers; the main window calls btnSaveClick from its keyboard shortcut.
    void btnGetClick();
    void btnPostClick();
    void btnSaveClick();
    void btnViewerClick();
    // Saves the camera's answers (the same dump as lumivar-cli dump) to a chosen file.
    void btnDumpClick();
    void tmrAutoLogTimer() { memLog->tmrAutoLogTimer(); }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TfrmViewer* m_viewer = nullptr;
    void fillPresets();
    // The field's address as a request of that method; false (and the hint shown) when empty or busy.
    bool requestFromInput(const QByteArray& method, TCameraRequest& request);
    void run(const TCameraRequest& request);

    TSetup* m_setup;
    QString m_presetHost;
    bool m_requestRunning = false;

    QComboBox* cbxInput = nullptr;
    QPushButton* btnGet = nullptr;
    QLabel* lblResponseCode = nullptr;
    QPlainTextEdit* memPost = nullptr;
    QPushButton* btnPost = nullptr;
    TDebugLog* memLog = nullptr;
    QPushButton* btnViewer = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnDump = nullptr;
};
