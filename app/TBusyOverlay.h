#pragma once

#include "base/TCommunication.h"

#include <QObject>
#include <QRect>
#include <QTimer>

#include <functional>

class TfrmInProcessing;

// Counts the camera communications in progress and lays the processing window over the main window
// when one lasts longer than half a second; it goes away when the last one ends.
class TBusyOverlay : public QObject
{
    Q_OBJECT

public:
    // areaRect: where the processing window leaves the title area free, measured at each use.
    explicit TBusyOverlay(std::function<QRect()> areaRect, QObject* parent = nullptr);

    // May stay unset (tests): then only the count is kept.
    void SetWindow(TfrmInProcessing* window) { m_window = window; }
    TfrmInProcessing* Window() const { return m_window; }
    int ActiveComm() const { return m_activeComm; }

    // Counts a begin or an end (an end without a begin leaves the count at zero) or passes new free
    // regions on to the processing window.
    void OnCommunication(const TCommunication& communication);
    // Takes the processing window away now (a page switch); the count stays.
    void Hide();

    QTimer tmrProcessing;

private:
    bool isShowing() const;

    std::function<QRect()> m_areaRect;
    TfrmInProcessing* m_window = nullptr;
    int m_activeComm = 0;
};
