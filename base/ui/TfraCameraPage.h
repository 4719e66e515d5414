#pragma once

#include "base/TCommunication.h"

#include <QString>
#include <QWidget>

class TCamera;

// Base of the pages the main window switches between. The main window hands each camera page the
// camera object once (SetCamera), calls GoStart when the page is shown with a camera connected and
// GoStop when another page is shown or the window closes. Pages report long work through OnProgress
// and camera communications through OnCommunication; the main window counts those and keeps page
// switches away meanwhile. Whether a page may be shown is its enabled state.
class TfraCameraPage : public QWidget
{
    Q_OBJECT

public:
    // The pages' common frame: the work area on the left, on the right a column of fixed width with
    // the parameter panel (taking what height is left) above the action panel.
    static constexpr int ColumnWidth = 313;
    static constexpr int ActionPanelHeight = 89;
    static constexpr int PanelMargin = 16;

    explicit TfraCameraPage(QWidget* parent = nullptr);

    virtual void SetCamera(TCamera* camera) { m_camera = camera; }
    TCamera* Camera() const { return m_camera; }
    virtual void GoStart() { }
    // The page's stop operation (GoStop of the remote control page, OnLeaveModule of the live import
    // and remote release pages).
    virtual void GoStop() { }
    // Debug view of the page (Ctrl+Alt+Shift+D in debug mode).
    virtual void ToggleDebugView() { }

signals:
    // percent 0 to 100; finished lets the main window return to its title after a while.
    void OnProgress(const QString& caption, const QString& detail, bool finished, int percent);
    // A camera communication begins or ends, or the busy overlay gets new free regions.
    void OnCommunication(const TCommunication& communication);
    // The page's own work found the camera not answering (false) or back (true), before the
    // connection check would (a time-lapse series notices within one interval).
    void OnCameraAnswering(bool answering);

protected:
    // Lays the page out in the common frame; returns the column (object name "pnlRight").
    QWidget* LayOutPage(QWidget* workArea, QWidget* parameterPanel, QWidget* actionPanel);

    // Shorthands for the pages: one communication begins or ends.
    void communicationStarted() { emit OnCommunication(TCommunication::Begin()); }
    void communicationStopped() { emit OnCommunication(TCommunication::End()); }
    // The parts of the page that stay usable while the busy overlay lies over it.
    void freeRegionsChanged(const QList<QRect>& regions)
    {
        emit OnCommunication(TCommunication::NewFreeRegions(regions));
    }

private:
    TCamera* m_camera = nullptr;
};
