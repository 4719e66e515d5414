#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QWidget>

class TCamera;

// Kinds of the pages' OnCommunication event: a camera communication begins, it ends, or the page
// names new free regions of the busy overlay.
enum TCommunicationEvent { ceStart = 0, ceStop = 1, ceChangeFreeRegion = 2 };

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
    // regionIndex is the highest valid index into rects (-1 for none) with ceChangeFreeRegion.
    void OnCommunication(QObject* sender, int kind, int regionIndex, const QList<QRect>& rects);

protected:
    // Lays the page out in the common frame; returns the column (object name "pnlRight").
    QWidget* LayOutPage(QWidget* workArea, QWidget* parameterPanel, QWidget* actionPanel);

    // Shorthands for the pages: one communication begins or ends.
    void communicationStarted() { emit OnCommunication(this, ceStart, -1, {}); }
    void communicationStopped() { emit OnCommunication(this, ceStop, -1, {}); }

private:
    TCamera* m_camera = nullptr;
};
