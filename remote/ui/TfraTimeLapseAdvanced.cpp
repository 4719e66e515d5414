#include "remote/ui/TfraTimeLapseAdvanced.h"

#include "base/ui/DarkStyle.h"
#include "remote/TTimeLapseSeries.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char* const kCaptions[] = { "Verschlusszeit", "ISO-Empfindlichkeit", "Blende", "Belichtungskorrektur" };
const char* const kNames[] = { "ShutterSpeed", "ISOSensitivity", "Aperture", "ExposureCompensation" };
const char* const kStepNames[]
    = { "cbxShutterSpeedStep", "cbxISOStep", "cbxApertureStep", "cbxExposureStep" };

QLabel* caption(const QString& text, const char* name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

// The panel lives in the side area's fixed width: choices take what their contents need at least,
// not their longest entry.
void narrow(QComboBox* choice, int characters)
{
    choice->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    choice->setMinimumContentsLength(characters);
}

// The property rows sit in two grids (the lower two switch with the automatic mode's page): the
// same margins and first column keep their buttons in one line.
constexpr int kCaptionWidth = 80;

void alignRows(QGridLayout* grid)
{
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setColumnMinimumWidth(0, kCaptionWidth);
    grid->setColumnStretch(3, 1);
}

} // namespace

TfraTimeLapseAdvanced::TfraTimeLapseAdvanced(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("fraTimeLapseAdvanced"));
    auto* layout = new QVBoxLayout(this);
    lblTimeLapseAdvancedTitle = new QLabel(QStringLiteral("Intervallaufnahme"), this);
    layout->addWidget(lblTimeLapseAdvancedTitle);

    auto* clock = new QGridLayout;
    const auto value = [this](const char* name) {
        auto* label = new QLabel(QStringLiteral("00:00:00"), this);
        label->setObjectName(QLatin1String(name));
        return label;
    };
    lblTLFrameValue = value("lblTLFrameValue");
    lblTLFrameValue->setText(QStringLiteral("0/0"));
    // "14/30 (3 fehlgeschlagen, 4 verpasst)" wraps rather than widening the panel past its side area.
    lblTLFrameValue->setWordWrap(true);
    lblTLElapsedTimeValue = value("lblTLElapsedTimeValue");
    lblTLRemainingTimeValue = value("lblTLRemainingTimeValue");
    lblTLIntervalTimeValue = value("lblTLIntervalTimeValue");
    const struct
    {
        const char* text;
        const char* name;
        QLabel* value;
    } clockRows[] = { { "Aufnahme:", "lblTLFrame", lblTLFrameValue },
        { "abgelaufene Zeit:", "lblTLElapsedTime", lblTLElapsedTimeValue },
        { "verbleibende Zeit:", "lblTLRemainingTime", lblTLRemainingTimeValue },
        { "Intervallzeit:", "lblTLIntervalTime", lblTLIntervalTimeValue } };
    for (int i = 0; i < 4; ++i) {
        clock->addWidget(caption(QString::fromUtf8(clockRows[i].text), clockRows[i].name, this), i, 0);
        clock->addWidget(clockRows[i].value, i, 1);
    }
    layout->addLayout(clock);

    pcSubSettings = new QStackedWidget(this);
    tsStandard = new QWidget(pcSubSettings);
    tsLRTimelapse = new QWidget(pcSubSettings);
    auto* standard = new QGridLayout(tsStandard);
    auto* properties = new QGridLayout;
    alignRows(standard);
    alignRows(properties);
    for (int p = 0; p < TTimeLapseExposure::PropertyCount; ++p) {
        TPropertyRow& row = Rows[size_t(p)];
        QWidget* owner = p >= TTimeLapseExposure::Aperture ? tsStandard : this;
        row.Panel = new QLabel(QString::fromUtf8(kCaptions[p]), owner);
        row.Panel->setObjectName(QStringLiteral("pnlTL") + QLatin1String(kNames[p]));
        row.Down = new QToolButton(owner);
        row.Down->setText(QStringLiteral("-"));
        row.Down->setObjectName(QStringLiteral("btnTL%1Down").arg(QLatin1String(kNames[p])));
        row.Up = new QToolButton(owner);
        row.Up->setText(QStringLiteral("+"));
        row.Up->setObjectName(QStringLiteral("btnTL%1Up").arg(QLatin1String(kNames[p])));
        row.Step = new QComboBox(owner);
        row.Step->setObjectName(QLatin1String(kStepNames[p]));
        narrow(row.Step, 6);
        row.Auto = new QLabel(QStringLiteral("Auto"), owner);
        DarkStyle::SetTextColor(row.Auto, DarkStyle::Readable(Qt::red, DarkStyle::Control(), 4.5));
        const auto property = TTimeLapseExposure::Property(p);
        connect(row.Down, &QToolButton::clicked, this,
            [this, property, &row] { change(property, false, row.Down); });
        connect(
            row.Up, &QToolButton::clicked, this, [this, property, &row] { change(property, true, row.Up); });
        connect(row.Step, &QComboBox::currentIndexChanged, this, [this, property](int index) {
            if (!m_updating && m_series)
                m_series->Exposure.SetStepIndex(property, index);
        });
        QGridLayout* grid = p >= TTimeLapseExposure::Aperture ? standard : properties;
        // Two grid rows per property: its caption over the value panel, which shows the value once
        // the series knows it, and the value's buttons; the side area has no room for both side by side.
        const int r = 2 * (p >= TTimeLapseExposure::Aperture ? p - 2 : p);
        auto* name = new QLabel(QString::fromUtf8(kCaptions[p]), owner);
        name->setObjectName(QStringLiteral("lblTL") + QLatin1String(kNames[p]));
        grid->addWidget(name, r, 0, 1, 5);
        grid->addWidget(row.Panel, r + 1, 0);
        grid->addWidget(row.Down, r + 1, 1);
        grid->addWidget(row.Up, r + 1, 2);
        grid->addWidget(row.Step, r + 1, 3);
        grid->addWidget(row.Auto, r + 1, 4);
    }
    layout->addLayout(properties);

    pnlAutoMode = new QWidget(this);
    auto* autoLayout = new QGridLayout(pnlAutoMode);
    autoLayout->setContentsMargins(0, 0, 0, 0);
    cbxAutoMode = new QComboBox(pnlAutoMode);
    narrow(cbxAutoMode, 10);
    cbxAutoMode->setObjectName(QStringLiteral("cbxAutoMode"));
    cbxAutoMode->addItems(TTimeLapseExposure::ModeItems());
    connect(cbxAutoMode, &QComboBox::currentIndexChanged, this, &TfraTimeLapseAdvanced::cbxAutoModeChange);
    pnlStart = new QPushButton(QStringLiteral("Start"), pnlAutoMode);
    pnlStart->setObjectName(QStringLiteral("pnlStart"));
    pnlStart->setStyleSheet(
        QStringLiteral("background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3c8c3c, "
                       "stop:1 #1e5a1e); color: white;"));
    connect(pnlStart, &QPushButton::clicked, this, &TfraTimeLapseAdvanced::pnlStartClick);
    pnlDirectionMode = new QPushButton(pnlAutoMode);
    pnlDirectionMode->setObjectName(QStringLiteral("pnlDirectionMode"));
    connect(pnlDirectionMode, &QPushButton::clicked, this, &TfraTimeLapseAdvanced::pnlDirectionModeClick);
    sbtReverseCorrection = new QSpinBox(pnlAutoMode);
    sbtReverseCorrection->setRange(0, 10);
    sbtReverseCorrection->setSingleStep(10);
    connect(sbtReverseCorrection, &QSpinBox::valueChanged, this, [this](int v) {
        if (m_updating || !m_series)
            return;
        if (v > m_series->Exposure.ReverseCorrection())
            m_series->Exposure.ReverseCorrectionUp();
        else
            m_series->Exposure.ReverseCorrectionDown();
    });
    lblReverseCorrection = new QLabel(pnlAutoMode);
    lblTLReminderLeft = new QLabel(QStringLiteral("dunkel nach hell"), pnlAutoMode);
    lblTLReminderRight = new QLabel(QStringLiteral("hell nach dunkel"), pnlAutoMode);
    // Texts that would widen the panel beyond the side area wrap instead.
    for (QLabel* label : { lblReverseCorrection, lblTLReminderLeft, lblTLReminderRight })
        label->setWordWrap(true);
    sbtReverseCorrection->setMaximumWidth(70);
    autoLayout->addWidget(cbxAutoMode, 0, 0, 1, 2);
    autoLayout->addWidget(pnlStart, 0, 2);
    autoLayout->addWidget(pnlDirectionMode, 1, 0);
    autoLayout->addWidget(sbtReverseCorrection, 1, 1);
    autoLayout->addWidget(lblReverseCorrection, 1, 2);
    autoLayout->addWidget(lblTLReminderLeft, 2, 0);
    autoLayout->addWidget(lblTLReminderRight, 2, 2);
    layout->addWidget(pnlAutoMode);

    auto* lrt = new QGridLayout(tsLRTimelapse);
    lrt->setContentsMargins(0, 0, 0, 0);
    lrt->addWidget(caption(QStringLiteral("Referenzwert"), "lblTLReferenceValue", tsLRTimelapse), 0, 0);
    pnlTLReferenceValue = new QLabel(tsLRTimelapse);
    pnlTLReferenceValueDown = new QToolButton(tsLRTimelapse);
    pnlTLReferenceValueDown->setText(QStringLiteral("-"));
    pnlTLReferenceValueUp = new QToolButton(tsLRTimelapse);
    pnlTLReferenceValueUp->setText(QStringLiteral("+"));
    connect(pnlTLReferenceValueDown, &QToolButton::clicked, this, [this] {
        if (m_series)
            m_series->Exposure.ReferenceDown();
    });
    connect(pnlTLReferenceValueUp, &QToolButton::clicked, this, [this] {
        if (m_series)
            m_series->Exposure.ReferenceUp();
    });
    lblFloatingAverage = new QLabel(tsLRTimelapse);
    lblFloatingAverage->setToolTip(QStringLiteral("aktueller Durchschnittswert"));
    pnlAutoReference = new QPushButton(QStringLiteral("Auto"), tsLRTimelapse);
    pnlAutoReference->setCheckable(true);
    connect(pnlAutoReference, &QPushButton::clicked, this, &TfraTimeLapseAdvanced::pnlAutoReferenceClick);
    // The average and the automatic reference beneath the reference: side by side the row would be
    // wider than the side area.
    lrt->addWidget(pnlTLReferenceValue, 0, 1);
    lrt->addWidget(pnlTLReferenceValueDown, 0, 2);
    lrt->addWidget(pnlTLReferenceValueUp, 0, 3);
    lrt->addWidget(lblFloatingAverage, 1, 0, 1, 2);
    lrt->addWidget(pnlAutoReference, 1, 2, 1, 2);
    pnlTLMaxShutterSpeed = new QLabel(QStringLiteral("4\""), tsLRTimelapse);
    cbxMaxShutterSpeed = new QComboBox(tsLRTimelapse);
    narrow(cbxMaxShutterSpeed, 5);
    pnlTLMaxISOSensitivity = new QLabel(QStringLiteral("3200"), tsLRTimelapse);
    cbxMaxISOSensitivity = new QComboBox(tsLRTimelapse);
    narrow(cbxMaxISOSensitivity, 5);
    connect(cbxMaxShutterSpeed, &QComboBox::activated, this, [this](int index) {
        if (m_series && index > 0)
            m_series->Exposure.ChooseMaxShutterSpeed(cbxMaxShutterSpeed->itemText(index));
        Refresh();
    });
    connect(cbxMaxISOSensitivity, &QComboBox::activated, this, [this](int index) {
        if (m_series && index > 0)
            m_series->Exposure.ChooseMaxIso(cbxMaxISOSensitivity->itemText(index));
        Refresh();
    });
    lrt->addWidget(
        caption(QStringLiteral("Max. Verschlusszeit"), "lblTLMaxShutterSpeed", tsLRTimelapse), 2, 0);
    lrt->addWidget(pnlTLMaxShutterSpeed, 2, 1);
    lrt->addWidget(cbxMaxShutterSpeed, 2, 2, 1, 2);
    lrt->addWidget(caption(QStringLiteral("Max. ISO"), "lblTLMaxISOSensitivity", tsLRTimelapse), 3, 0);
    lrt->addWidget(pnlTLMaxISOSensitivity, 3, 1);
    lrt->addWidget(cbxMaxISOSensitivity, 3, 2, 1, 2);
    lrt->addWidget(caption(QStringLiteral("Berechnungsintervall"), "lblTLPoolSize", tsLRTimelapse), 4, 0);
    pnlTLPoolSize = new QLabel(QStringLiteral("5"), tsLRTimelapse);
    sbtAveragePoolSize = new QSpinBox(tsLRTimelapse);
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
    pcSubSettings->addWidget(tsStandard);
    pcSubSettings->addWidget(tsLRTimelapse);
    layout->addWidget(pcSubSettings);

    tmrElapsedTime.setInterval(1000);
    connect(&tmrElapsedTime, &QTimer::timeout, this, &TfraTimeLapseAdvanced::refreshClock);
    tmrChange.setInterval(250);
    connect(&tmrChange, &QTimer::timeout, this, [this] {
        if (m_changeButton)
            m_changeButton->setText(m_changeButton->text().isEmpty() ? m_changeCaption : QString());
    });
    Refresh();
}

void TfraTimeLapseAdvanced::SetSeries(TTimeLapseSeries* series)
{
    if (m_series)
        disconnect(m_series, nullptr, this, nullptr);
    m_series = series;
    if (series) {
        connect(series, &TTimeLapseSeries::Changed, this, &TfraTimeLapseAdvanced::Refresh);
        connect(&series->Exposure, &TTimeLapseExposure::Changed, this, &TfraTimeLapseAdvanced::Refresh);
    }
    Refresh();
}

void TfraTimeLapseAdvanced::StartSeries()
{
    if (!m_series)
        return;
    m_series->Start();
    tmrElapsedTime.start();
    Refresh();
}

void TfraTimeLapseAdvanced::StopSeries()
{
    tmrElapsedTime.stop();
    tmrChange.stop();
    if (m_series)
        m_series->Stop();
    Refresh();
}

bool TfraTimeLapseAdvanced::WaitingForStart() const
{
    return m_series && m_series->WaitingForStart();
}

void TfraTimeLapseAdvanced::ShowLiveShutterSpeed(const QString& text)
{
    if (m_series)
        m_series->Exposure.ShowLiveShutterSpeed(text);
    if (Rows[TTimeLapseExposure::ShutterSpeed].Up->isEnabled())
        Rows[TTimeLapseExposure::ShutterSpeed].Panel->setText(text);
}

void TfraTimeLapseAdvanced::ShowLiveAperture(const QString& text)
{
    if (m_series)
        m_series->Exposure.ShowLiveAperture(text);
    Refresh();
}

void TfraTimeLapseAdvanced::pnlStartClick()
{
    if (m_series)
        m_series->PressStart();
    Refresh();
}

void TfraTimeLapseAdvanced::cbxAutoModeChange(int index)
{
    if (m_updating || !m_series)
        return;
    m_series->Exposure.SetAutoMode(index < 0 ? 0 : index);
    Refresh();
}

void TfraTimeLapseAdvanced::pnlDirectionModeClick()
{
    if (m_series)
        m_series->Exposure.ToggleDirection();
}

void TfraTimeLapseAdvanced::pnlAutoReferenceClick()
{
    if (m_series)
        m_series->Exposure.ToggleAutoReference();
}

void TfraTimeLapseAdvanced::change(TTimeLapseExposure::Property property, bool up, QToolButton* button)
{
    if (!m_series || m_series->Exposure.IsChanging())
        return;
    m_changeButton = button;
    m_changeCaption = button->text();
    tmrChange.start();
    m_series->Exposure.Change(property, up);
    tmrChange.stop();
    button->setText(m_changeCaption);
    m_changeButton = nullptr;
    Refresh();
}

void TfraTimeLapseAdvanced::refreshClock()
{
    if (!m_series)
        return;
    lblTLFrameValue->setText(m_series->FrameText());
    lblTLElapsedTimeValue->setText(m_series->ElapsedText());
    lblTLRemainingTimeValue->setText(m_series->RemainingText());
    lblTLIntervalTimeValue->setText(m_series->IntervalText());
}

void TfraTimeLapseAdvanced::fillCombo(QComboBox* combo, const QStringList& items, int current)
{
    QStringList now;
    for (int i = 0; i < combo->count(); ++i)
        now << combo->itemText(i);
    if (now != items) {
        combo->clear();
        combo->addItems(items);
    }
    combo->setCurrentIndex(current);
}

void TfraTimeLapseAdvanced::Refresh()
{
    if (!m_series) {
        setEnabled(false);
        return;
    }
    setEnabled(true);
    m_updating = true;
    const TTimeLapseExposure& exposure = m_series->Exposure;
    refreshClock();
    for (int p = 0; p < TTimeLapseExposure::PropertyCount; ++p) {
        const auto property = TTimeLapseExposure::Property(p);
        TPropertyRow& row = Rows[size_t(p)];
        const bool enabled = exposure.IsEnabled(property);
        for (QWidget* w : { static_cast<QWidget*>(row.Down), static_cast<QWidget*>(row.Up) }) {
            w->setEnabled(enabled);
            w->setStyleSheet(enabled ? QStringLiteral("background: #474747; color: white;")
                                     : QStringLiteral("background: #919191; color: #808080;"));
        }
        row.Step->setEnabled(enabled);
        fillCombo(row.Step, exposure.StepItems(property), exposure.StepIndex(property));
        row.Step->setVisible(exposure.IsStepVisible(property));
        row.Auto->setVisible(!exposure.IsAdjustable(property));
        row.Panel->setText(exposure.ValueText(property));
    }
    pnlAutoMode->setVisible(exposure.IsAutoModeShown());
    cbxAutoMode->setEnabled(exposure.IsAutoModeEnabled());
    cbxAutoMode->setCurrentIndex(exposure.AutoMode());
    pnlStart->setVisible(exposure.IsStartShown() && m_series->IsRunning());
    const bool automatic = exposure.IsAuto();
    pcSubSettings->setCurrentWidget(automatic ? tsLRTimelapse : tsStandard);
    pnlDirectionMode->setVisible(exposure.IsLRT());
    pnlDirectionMode->setText(exposure.DirectionText());
    sbtReverseCorrection->setValue(exposure.ReverseCorrection());
    lblReverseCorrection->setText(exposure.ReverseCorrectionText());
    pnlTLReferenceValue->setText(exposure.ReferenceText());
    lblFloatingAverage->setText(exposure.AverageText());
    pnlAutoReference->setChecked(exposure.IsAutoReference());
    fillCombo(cbxMaxShutterSpeed, exposure.MaxShutterSpeedItems(), 0);
    fillCombo(cbxMaxISOSensitivity, exposure.MaxIsoItems(), 0);
    pnlTLMaxShutterSpeed->setText(exposure.MaxShutterSpeed());
    pnlTLMaxISOSensitivity->setText(exposure.MaxIso());
    pnlTLPoolSize->setText(QString::number(exposure.PoolSize()));
    sbtAveragePoolSize->setValue(exposure.PoolSize());
    for (QWidget* w : std::initializer_list<QWidget*> { pnlTLReferenceValueDown, pnlTLReferenceValueUp,
             pnlAutoReference, cbxMaxShutterSpeed, cbxMaxISOSensitivity, sbtAveragePoolSize })
        w->setEnabled(automatic);
    m_updating = false;
}
