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

    QLabel* lblConnection;
    QLabel* lblConnectionState;
    QToolButton* btnPowerOff;
    QToolButton* btnSyncTime;
    QToolButton* btnSettings;
    QToolButton* btnInfo;
};
