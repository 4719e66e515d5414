#include "liveview/ui/TLiveViewStatusLine.h"

#include "base/TNamedTexts.h"
#include "base/ui/DarkStyle.h"
#include "base/ui/TElidingLabel.h"
#include "liveview/LiveViewTexts.h"
#include "liveview/TMetaData.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kBlinkMs = 250;

void setColor(QLabel* label, bool active)
{
    DarkStyle::SetTextColor(label, active ? DarkStyle::Text() : DarkStyle::Dimmed());
}

} // namespace

TLiveViewStatusLine::TLiveViewStatusLine(QWidget* parent)
    : QWidget(parent)
{
    RegisterLiveViewTexts();
    setObjectName(QStringLiteral("pnlStatusLine"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    lblImgShutterSpeed = addLabel("lblImgShutterSpeed", QString(), QStringLiteral("Verschlusszeit"), true);
    lblImgAperture = addLabel("lblImgAperture", QString(), QStringLiteral("Blende"), true);
    lblImgExposureCompensation
        = addLabel("lblImgExposureCompensation", QString(), QStringLiteral("Belichtungskorrektur"), true);
    lblImgCaptionISOSensitivity = addLabel(
        "lblImgCaptionISOSensitivity", rs("_rsISOAuto"), QStringLiteral("ISO-Empfindlichkeit"), false);
    lblImgISOSensitivity
        = addLabel("lblImgISOSensitivity", QString(), QStringLiteral("ISO-Empfindlichkeit"), false);
    lblImgCaptionWhiteBalance
        = addLabel("lblImgCaptionWhiteBalance", QStringLiteral("WB"), QStringLiteral("Weißabgleich"), false);
    lblImgWhiteBalance = addLabel("lblImgWhiteBalance", QString(), QStringLiteral("Weißabgleich"), false);
    lblImgFocusType
        = addLabel("lblImgFocusType", rs("_rsStaticAFShort"), QStringLiteral("Fokussierungsart"), false);
    lblImgFreeCapacity
        = addLabel("lblImgFreeCapacity", QString(), QStringLiteral("verbleibende Aufnahmen"), false);
    lblRAW = addLabel("lblRAW", QStringLiteral("RAW"), QString(), false);
    lblJPEG = addLabel("lblJPEG", QStringLiteral("JPEG"), QString(), false);
    lblImgAspectRatio
        = addLabel("lblImgAspectRatio", QStringLiteral("4:3"), QStringLiteral("Seitenverhältnis"), false);
    row->addStretch(1);
    // Where the room ends, the address is cut and the whole of it is the hint.
    lblServing = new TElidingLabel(this);
    lblServing->setObjectName(QStringLiteral("lblServing"));
    lblServing->setMinimumHeight(QFontMetrics(lblServing->font()).height());
    row->addWidget(lblServing, 0, Qt::AlignVCenter);
    lblServing->hide();

    gauBattery = new QProgressBar(this);
    gauBattery->setObjectName(QStringLiteral("gauBattery"));
    gauBattery->setToolTip(QStringLiteral("Batteriezustand"));
    gauBattery->setRange(0, 100);
    gauBattery->setTextVisible(false);
    gauBattery->setFixedSize(30, 9);
    QSizePolicy policy = gauBattery->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    gauBattery->setSizePolicy(policy);
    row->addWidget(gauBattery, 0, Qt::AlignVCenter);
    SetRecordingFormats(false, false);

    const auto timer = [this] {
        auto* t = new QTimer(this);
        connect(t, &QTimer::timeout, this, [this, t] { toggle(t); });
        return t;
    };
    m_exposureTimer = timer();
    m_isoTimer = timer();
    m_batteryTimer = timer();
}

QLabel* TLiveViewStatusLine::addLabel(const char* name, const QString& text, const QString& hint, bool large)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setToolTip(hint);
    if (large) {
        QFont font = label->font();
        font.setPointSizeF(font.pointSizeF() * 1.5);
        font.setBold(true);
        label->setFont(font);
    }
    // Room for the text at any scale: the height comes from the font, never from a fixed pixel size.
    label->setMinimumHeight(QFontMetrics(label->font()).height());
    setColor(label, true);
    // Blinking must not make the line jump: a hidden label keeps its room.
    QSizePolicy policy = label->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    label->setSizePolicy(policy);
    layout()->addWidget(label);
    return label;
}

void TLiveViewStatusLine::SetServing(const QString& url, const QString& failure)
{
    lblServing->setText(failure.isEmpty() && !url.isEmpty() ? rs("_rsLiveViewServing", { url }) : failure);
    DarkStyle::SetTextColor(lblServing, failure.isEmpty() ? DarkStyle::Text() : DarkStyle::Warning());
    lblServing->setVisible(!lblServing->text().isEmpty());
}

void TLiveViewStatusLine::ShowInformation(const TMetaData& information, const QString& longExposureText)
{
    lblImgShutterSpeed->setText(
        longExposureText.isEmpty() ? information.GetShutterSpeedText() : longExposureText.toUpper());
    lblImgAperture->setText(rs("_rsApertureShort") + information.GetApertureText());
    lblImgExposureCompensation->setText(information.GetExposureCompensationText());
    lblImgISOSensitivity->setText(information.GetISOText());
    lblImgCaptionISOSensitivity->setText(information.IsISOAuto() ? rs("_rsISOAuto") : rs("_rsISO"));
    lblImgWhiteBalance->setText(information.GetWhiteBalanceText());
    lblImgFocusType->setText(rs("_rsStaticAFShort"));
    lblImgFreeCapacity->setText(information.GetFreeCapacityText());
    lblImgAspectRatio->setText(information.GetAspectRatioText());
    SetBatteryLevel(information.GetBatteryLevel());
}

void TLiveViewStatusLine::SetLinkedActive(
    bool shutter, bool aperture, bool compensation, bool iso, bool whiteBalance)
{
    setColor(lblImgShutterSpeed, shutter);
    setColor(lblImgAperture, aperture);
    setColor(lblImgExposureCompensation, compensation);
    setColor(lblImgISOSensitivity, iso);
    setColor(lblImgWhiteBalance, whiteBalance);
}

void TLiveViewStatusLine::SetRecordingFormats(bool jpeg, bool raw)
{
    setColor(lblJPEG, jpeg);
    setColor(lblRAW, raw);
}

void TLiveViewStatusLine::SetBatteryLevel(int level)
{
    gauBattery->setValue(std::clamp(level, 0, 100));
    const QColor color = level <= 50 ? QColor(255, 0, 0)
        : level <= 70                ? QColor(255, 255, 0)
                                     : QColor(0, 255, 0);
    gauBattery->setStyleSheet(QStringLiteral("QProgressBar { background: rgb(41,41,41); border: 1px solid "
                                             "rgb(101,101,82); } QProgressBar::chunk { background: %1; }")
                                  .arg(color.name()));
    gauBattery->setProperty("gaugeColor", color);
    SetBatteryWarning(level <= 50);
}

bool TLiveViewStatusLine::IsExposureBlinking() const
{
    return m_exposureTimer->isActive();
}
bool TLiveViewStatusLine::IsISOBlinking() const
{
    return m_isoTimer->isActive();
}
bool TLiveViewStatusLine::IsBatteryBlinking() const
{
    return m_batteryTimer->isActive();
}

void TLiveViewStatusLine::setBlinking(QTimer* timer, bool on)
{
    if (on == timer->isActive())
        return;
    if (on) {
        timer->start(kBlinkMs);
        setControlsVisible(timer, false);
    } else {
        timer->stop();
        setControlsVisible(timer, true);
    }
}

void TLiveViewStatusLine::setControlsVisible(QTimer* timer, bool visible)
{
    if (timer == m_exposureTimer) {
        m_blinkShown[0] = visible;
        for (QLabel* label : { lblImgShutterSpeed, lblImgAperture, lblImgExposureCompensation })
            label->setVisible(visible);
    } else if (timer == m_isoTimer) {
        m_blinkShown[1] = visible;
        lblImgCaptionISOSensitivity->setVisible(visible);
        lblImgISOSensitivity->setVisible(visible);
    } else {
        m_blinkShown[2] = visible;
        gauBattery->setVisible(visible);
    }
}

void TLiveViewStatusLine::toggle(QTimer* timer)
{
    const int which = timer == m_exposureTimer ? 0 : timer == m_isoTimer ? 1 : 2;
    setControlsVisible(timer, !m_blinkShown[which]);
}

int TLiveViewStatusLine::WidthNeeded() const
{
    // Wide values of each field, in the fonts the fields use, with the gaps between them.
    const QFontMetrics large(lblImgShutterSpeed->font());
    const QFontMetrics small(lblImgISOSensitivity->font());
    const int spacing = layout()->spacing();
    int width = 0;
    for (const char* text : { "1/4000", "F22", "+5.0" })
        width += large.horizontalAdvance(QLatin1String(text)) + spacing;
    for (const char* text : { "ISO", "25600", "WB", "5500K", "C-AF", "9999", "RAW", "JPEG", "16:9" })
        width += small.horizontalAdvance(QLatin1String(text)) + spacing;
    return width + gauBattery->width();
}
