#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QToolButton;
class TTimeLapseExposure;
class TTimeLapseSeries;

// The time-lapse panel's page for the automatic modes (EV difference, LRTimelapse): the reference
// value with its steps, the floating average, the automatic reference, the maxima of shutter speed
// and ISO and the pool the average is taken over. The series' exposure decides; the page shows it and
// forwards the clicks.
class TTimeLapseLrtPage : public QWidget
{
    Q_OBJECT

public:
    explicit TTimeLapseLrtPage(QWidget* parent = nullptr);

    // The series shown; not owned.
    void SetSeries(TTimeLapseSeries* series) { m_series = series; }
    // Everything shown again from the exposure; the controls work only in an automatic mode.
    void Refresh(const TTimeLapseExposure& exposure, bool automatic);

    QLabel* pnlTLReferenceValue;
    QToolButton* pnlTLReferenceValueDown;
    QToolButton* pnlTLReferenceValueUp;
    QLabel* lblFloatingAverage;
    QPushButton* pnlAutoReference;
    QLabel* pnlTLMaxShutterSpeed;
    QComboBox* cbxMaxShutterSpeed;
    QLabel* pnlTLMaxISOSensitivity;
    QComboBox* cbxMaxISOSensitivity;
    QLabel* pnlTLPoolSize;
    QSpinBox* sbtAveragePoolSize;

signals:
    // A maximum was chosen: the whole panel shows its effect.
    void Changed();

private:
    TTimeLapseSeries* m_series = nullptr;
    bool m_updating = false;
};
