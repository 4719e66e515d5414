#include "remote/ui/TTimeLapseLrtPage.h"

#include "remote/TTimeLapseSeries.h"
#include "remote/ui/RemoteControlLook.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include <initializer_list>

namespace {

QLabel* caption(const QString& text, const char* name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

} // namespace

TTimeLapseLrtPage::TTimeLapseLrtPage(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("tsLRTimelapse"));
    auto* lrt = new QGridLayout(this);
    lrt->setContentsMargins(0, 0, 0, 0);
    lrt->addWidget(caption(QStringLiteral("Referenzwert"), "lblTLReferenceValue", this), 0, 0);
    pnlTLReferenceValue = new QLabel(this);
    pnlTLReferenceValueDown = new QToolButton(this);
    pnlTLReferenceValueDown->setText(QStringLiteral("-"));
    pnlTLReferenceValueUp = new QToolButton(this);
    pnlTLReferenceValueUp->setText(QStringLiteral("+"));
    connect(pnlTLReferenceValueDown, &QToolButton::clicked, this, [this] {
        if (m_series)
            m_series->Exposure.ReferenceDown();
    });
    connect(pnlTLReferenceValueUp, &QToolButton::clicked, this, [this] {
        if (m_series)
            m_series->Exposure.ReferenceUp();
    });
    lblFloatingAverage = new QLabel(this);
    lblFloatingAverage->setToolTip(QStringLiteral("aktueller Durchschnittswert"));
    pnlAutoReference = new QPushButton(QStringLiteral("Auto"), this);
    pnlAutoReference->setCheckable(true);
    connect(pnlAutoReference, &QPushButton::clicked, this, [this] {
        if (m_series)
            m_series->Exposure.ToggleAutoReference();
    });
    // The average and the automatic reference beneath the reference: side by side the row would be
    // wider than the side area.
    lrt->addWidget(pnlTLReferenceValue, 0, 1);
    lrt->addWidget(pnlTLReferenceValueDown, 0, 2);
    lrt->addWidget(pnlTLReferenceValueUp, 0, 3);
    lrt->addWidget(lblFloatingAverage, 1, 0, 1, 2);
    lrt->addWidget(pnlAutoReference, 1, 2, 1, 2);
    pnlTLMaxShutterSpeed = new QLabel(QStringLiteral("4\""), this);
    cbxMaxShutterSpeed = new QComboBox(this);
    RemoteControlLook::NarrowChoice(cbxMaxShutterSpeed, 5);
    pnlTLMaxISOSensitivity = new QLabel(QStringLiteral("3200"), this);
    cbxMaxISOSensitivity = new QComboBox(this);
    RemoteControlLook::NarrowChoice(cbxMaxISOSensitivity, 5);
    connect(cbxMaxShutterSpeed, &QComboBox::activated, this, [this](int index) {
        if (m_series && index > 0)
            m_series->Exposure.ChooseMaxShutterSpeed(cbxMaxShutterSpeed->itemText(index));
        emit Changed();
    });
    connect(cbxMaxISOSensitivity, &QComboBox::activated, this, [this](int index) {
        if (m_series && index > 0)
            m_series->Exposure.ChooseMaxIso(cbxMaxISOSensitivity->itemText(index));
        emit Changed();
    });
    lrt->addWidget(caption(QStringLiteral("Max. Verschlusszeit"), "lblTLMaxShutterSpeed", this), 2, 0);
    lrt->addWidget(pnlTLMaxShutterSpeed, 2, 1);
    lrt->addWidget(cbxMaxShutterSpeed, 2, 2, 1, 2);
    lrt->addWidget(caption(QStringLiteral("Max. ISO"), "lblTLMaxISOSensitivity", this), 3, 0);
    lrt->addWidget(pnlTLMaxISOSensitivity, 3, 1);
    lrt->addWidget(cbxMaxISOSensitivity, 3, 2, 1, 2);
    lrt->addWidget(caption(QStringLiteral("Berechnungsintervall"), "lblTLPoolSize", this), 4, 0);
    pnlTLPoolSize = new QLabel(QStringLiteral("5"), this);
    sbtAveragePoolSize = new QSpinBox(this);
    sbtAveragePoolSize->setRange(1, 9999);
    sbtAveragePoolSize->setValue(5);
    connect(sbtAveragePoolSize, &QSpinBox::valueChanged, this, [this](int v) {
        if (m_updating || !m_series)
            return;
        if (v > m_series->Exposure.PoolSize())
            m_series->Exposure.PoolSizeUp();
        else
            m_series->Exposure.PoolSizeDown();
    });
    lrt->addWidget(pnlTLPoolSize, 4, 1);
    lrt->addWidget(sbtAveragePoolSize, 4, 2, 1, 2);
}

void TTimeLapseLrtPage::Refresh(const TTimeLapseExposure& exposure, bool automatic)
{
    m_updating = true;
    pnlTLReferenceValue->setText(exposure.ReferenceText());
    lblFloatingAverage->setText(exposure.AverageText());
    pnlAutoReference->setChecked(exposure.IsAutoReference());
    RemoteControlLook::FillChoice(cbxMaxShutterSpeed, exposure.MaxShutterSpeedItems(), 0);
    RemoteControlLook::FillChoice(cbxMaxISOSensitivity, exposure.MaxIsoItems(), 0);
    pnlTLMaxShutterSpeed->setText(exposure.MaxShutterSpeed());
    pnlTLMaxISOSensitivity->setText(exposure.MaxIso());
    pnlTLPoolSize->setText(QString::number(exposure.PoolSize()));
    sbtAveragePoolSize->setValue(exposure.PoolSize());
    for (QWidget* w : std::initializer_list<QWidget*> { pnlTLReferenceValueDown, pnlTLReferenceValueUp,
             pnlAutoReference, cbxMaxShutterSpeed, cbxMaxISOSensitivity, sbtAveragePoolSize })
        w->setEnabled(automatic);
    m_updating = false;
}
