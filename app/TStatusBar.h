#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

// The main window's status bar: how the camera is connected, power off, clock, settings and info.
// A plain panel (no "Tfra" class), so its controls keep the main window's text keys.
class TStatusBar : public QWidget
{
    Q_OBJECT

public:
    explicit TStatusBar(QWidget* parent = nullptr);

    // White for a usable connection, yellow for anything the user has to act on.
    void ShowConnectionState(const QString& text, bool usable);
    // What the last connection change found: 0 no camera, 1 not in private mode, 2 connected; with
    // the model name read then.
    void SetConnection(int connection, const QString& modelName);
    // A page's work (a time-lapse series) found the connected camera not answering (false) or back
    // (true); the connection line says so until then.
    void SetAnswering(bool answering) { m_answering = answering; }
    // That connection in the current language. Without a camera it says whether the program joins
    // the camera's network (autoConnect, cameraWLanName) or the user is to.
    void ShowConnection(bool autoConnect, const QString& cameraWLanName);

    QLabel* lblConnection;
    QLabel* lblConnectionState;
    QToolButton* btnPowerOff;
    QToolButton* btnSyncTime;
    QToolButton* btnSettings;
    QToolButton* btnInfo;

private:
    int m_connection = 0;
    bool m_answering = true;
    QString m_modelName;
};
