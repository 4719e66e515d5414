#include "app/TLiveViewPortsBox.h"

#include "base/TSetup.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QSpinBox>

namespace {

template<class T> T* named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

TLiveViewPortsBox::TLiveViewPortsBox(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlLiveViewPorts"));
    chbLiveViewPort = named(
        new QCheckBox(QStringLiteral("Portnummer für Live-Stream abweichend von 28488 definieren"), this),
        "chbLiveViewPort");
    sedLiveViewPort = named(new QSpinBox(this), "sedLiveViewPort");
    sedLiveViewPort->setRange(0, 65535);
    sedLiveViewPort->setValue(DefaultLiveViewPort);
    chbLiveViewServe
        = named(new QCheckBox(QStringLiteral("Live-Bild für andere Programme"), this), "chbLiveViewServe");
    chbLiveViewServe->setToolTip(
        QStringLiteral("Zeigt das Live-Bild als MJPEG-Stream unter http://127.0.0.1:Port/, z.B. für OBS, VLC "
                       "oder den Browser"));
    sedLiveViewServePort = named(new QSpinBox(this), "sedLiveViewServePort");
    sedLiveViewServePort->setRange(1, 65535);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(chbLiveViewPort, 0, 0, 1, 2);
    grid->addWidget(sedLiveViewPort, 1, 0);
    grid->setRowMinimumHeight(2, 8);
    grid->addWidget(chbLiveViewServe, 3, 0);
    grid->addWidget(sedLiveViewServePort, 3, 1);
    grid->setColumnStretch(0, 1);

    connect(chbLiveViewPort, &QCheckBox::toggled, this, [this](bool on) {
        if (!on)
            sedLiveViewPort->setValue(DefaultLiveViewPort);
        updateEnabled();
    });
    connect(chbLiveViewServe, &QCheckBox::toggled, this, &TLiveViewPortsBox::updateEnabled);
    Load(TSetup());
}

void TLiveViewPortsBox::Load(const TSetup& setup)
{
    {
        // Set the box first: unchecking it would put the default back over the stored port.
        const QSignalBlocker block(chbLiveViewPort);
        chbLiveViewPort->setChecked(setup.LiveViewPort != DefaultLiveViewPort);
    }
    sedLiveViewPort->setValue(setup.LiveViewPort);
    chbLiveViewServe->setChecked(setup.LiveViewServe);
    sedLiveViewServePort->setValue(setup.LiveViewServePort);
    updateEnabled();
}

void TLiveViewPortsBox::Store(TSetup& setup) const
{
    setup.LiveViewPort = quint16(sedLiveViewPort->value());
    setup.LiveViewServe = chbLiveViewServe->isChecked();
    setup.LiveViewServePort = quint16(sedLiveViewServePort->value());
}

bool TLiveViewPortsBox::Same(const TSetup& a, const TSetup& b)
{
    return a.LiveViewPort == b.LiveViewPort && a.LiveViewServe == b.LiveViewServe
        && a.LiveViewServePort == b.LiveViewServePort;
}

void TLiveViewPortsBox::updateEnabled()
{
    sedLiveViewPort->setEnabled(chbLiveViewPort->isChecked());
    sedLiveViewServePort->setEnabled(chbLiveViewServe->isChecked());
}
