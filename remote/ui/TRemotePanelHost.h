#pragma once

#include <QList>
#include <QRect>
#include <QString>

#include <functional>

class QWidget;

// What the remote control page's panels ask of the page that holds them: the busy state and the
// free regions of the main window, progress lines, and the page's shooting operations. The page
// maps these onto its communication with the main window.
class TRemotePanelHost
{
public:
    virtual ~TRemotePanelHost() = default;

    virtual void BeginCommunication(const QString& operation) = 0;
    virtual void EndCommunication(const QString& operation) = 0;
    virtual void ChangeFreeRegions(const QString& operation, const QList<QRect>& rects) = 0;
    virtual void ShowProgress(const QString& title, const QString& detail, bool finished, int percent) = 0;
    virtual bool IsDebugMode() const = 0;
    // The whole page waits, e.g. for the camera's answer to a property change.
    virtual void SetPageEnabled(bool enabled) = 0;
    // The page's own free regions: the take button, the live view and the last shot's line.
    virtual QList<QRect> PageRegions() const = 0;
    // Runs one shooting operation of the page (the trace names it); afterwards a failure re-reads
    // the camera and a waiting preview shows.
    virtual bool Shoot(const char* operation, const std::function<bool()>& call) = 0;
    // A failure named on the picture; the camera's values are read again.
    virtual void ShootingFailed(const QString& text) = 0;
    // The camera stopped answering during the page's work (false) or is back (true).
    virtual void CameraAnswering(bool answering) = 0;
    // The widget's rectangle in the main window as the busy overlay counts it.
    virtual QRect InMainWindow(const QWidget* widget) const = 0;
};
