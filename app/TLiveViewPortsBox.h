#pragma once

#include <QWidget>

class QCheckBox;
class QSpinBox;
class TSetup;

// The settings dialog's live view ports: the UDP port the camera sends the live view to, and the
// switch that hands the live view on to other programs over HTTP, with its port.
// A plain panel (no "Tfra" class), so its controls keep the dialog's text keys.
class TLiveViewPortsBox : public QWidget
{
    Q_OBJECT

public:
    static constexpr quint16 DefaultLiveViewPort = 28488;

    explicit TLiveViewPortsBox(QWidget* parent = nullptr);

    void Load(const TSetup& setup);
    void Store(TSetup& setup) const;
    // True when both hold the same values of this panel.
    static bool Same(const TSetup& a, const TSetup& b);

    QCheckBox* chbLiveViewPort = nullptr;
    QSpinBox* sedLiveViewPort = nullptr;
    QCheckBox* chbLiveViewServe = nullptr;
    QSpinBox* sedLiveViewServePort = nullptr;

private:
    void updateEnabled();
};
