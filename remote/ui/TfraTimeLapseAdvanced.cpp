#include "remote/ui/TfraTimeLapseAdvanced.h"

#include "base/ui/DarkStyle.h"
#include "remote/TTimeLapseSeries.h"
#include "remote/ui/RemoteControlLook.h"
#include "remote/ui/TTimeLapseLrtPage.h"

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
    pnlLrt = new TTimeLapseLrtPage(pcSubSettings);
    tsLRTimelapse = pnlLrt;
    connect(pnlLrt, &TTimeLapseLrtPage::Changed, this, &TfraTimeLapseAdvanced::Refresh);
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
        RemoteControlLook::NarrowChoice(row.Step, 6);
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
    RemoteControlLook::NarrowChoice(cbxAutoMode, 10);
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
        RemoteControlLook::FillChoice(row.Step, exposure.StepItems(property), exposure.StepIndex(property));
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
    pnlLrt->Refresh(exposure, automatic);
    m_updating = false;
}
