#include "remote/TTimeLapseExposure.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "camera/TCameraParams.h"
#include "camera/WaitFunc.h"

#include <QElapsedTimer>

#include <cmath>
#include <exception>

namespace {

constexpr TNamedText kExposureTexts[] = {
    { "_rsSunrise", "Sonnenaufgang" },
    { "_rsSunset", "Sonnenuntergang" },
    { "_rsNoReverseCorrection", "keine Umkehrkorrektur" },
    { "_rsReverseCorrection", "Umkehrkorrektur" },
};

const char* const kPropertyNames[] = { "shutspeedvalue", "isospeedvalue", "focalvalue", "expcomp" };
const QString kChoose = QStringLiteral("Bitte wählen");
const QString kThird = QStringLiteral("1/3 EV");
const QString kTwoThirds = QStringLiteral("2/3 EV");
const QString kHalf = QStringLiteral("1/2 EV");
const QString kWhole = QStringLiteral("1 EV");
const QString kNone = QStringLiteral("---");

bool follows(const QStringList& values, const QString& first, const QString& second)
{
    const int at = int(values.indexOf(first));
    return at >= 0 && at + 1 < values.size() && values.at(at + 1) == second;
}

bool isLiveSpeed(const QString& text)
{
    return text.compare(QLatin1String("LIVETIME"), Qt::CaseInsensitive) == 0
        || text.compare(QLatin1String("LIVEBULB"), Qt::CaseInsensitive) == 0
        || text.compare(QLatin1String("LIVECOMP"), Qt::CaseInsensitive) == 0;
}

int positionIn(const QStringList& items, const QString& text)
{
    if (text.isEmpty())
        return -1;
    for (int i = 1; i < items.size(); ++i)
        if (items.at(i).compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int indexOfValue(const TCameraParam& param)
{
    for (int i = 0; i < param.DisplayValues.size(); ++i)
        if (param.DisplayValues.at(i).compare(param.Value, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

} // namespace

TTimeLapseExposure::TTimeLapseExposure(QObject* parent)
    : QObject(parent)
    , m_maxShutter(QStringLiteral("4\""))
    , m_maxIso(QStringLiteral("3200"))
{
    TNamedTexts::Register(kExposureTexts);
    for (int p = 0; p < PropertyCount; ++p)
        m_stepItems[p] = { QStringLiteral("-") };
    m_stepItems[ShutterSpeed] = { kThird, kTwoThirds, kWhole };
    m_maxShutterItems = { kChoose };
    m_maxIsoItems = { kChoose };
    LrtWindow.SetCapacity(m_poolSize);
    EvWindow.SetCapacity(m_poolSize);
    CorrectionWindow.SetCapacity(1);
}

QStringList TTimeLapseExposure::ModeItems()
{
    return { QStringLiteral("Manuelle Steuerung"), QStringLiteral("LRTimelapse"),
        QStringLiteral("Differenzsteuerung -1.0 EV"), QStringLiteral("Differenzsteuerung -0.7 EV"),
        QStringLiteral("Differenzsteuerung -0.3 EV"), QStringLiteral("Differenzsteuerung +0.3 EV"),
        QStringLiteral("Differenzsteuerung +0.7 EV"), QStringLiteral("Differenzsteuerung +1.0 EV") };
}

double TTimeLapseExposure::DifferenceOf(int mode)
{
    static constexpr double kOffsets[] = { 0, 0, -1.0, -0.7, -0.3, 0.3, 0.7, 1.0 };
    return mode >= 0 && mode < ModeCount ? kOffsets[mode] : 0;
}

std::optional<double> TTimeLapseExposure::BrightnessCorrection(double brightnessMean, double liveMean)
{
    if (!(liveMean > 0))
        return std::nullopt;
    return (brightnessMean / liveMean - 1) * 100;
}

void TTimeLapseExposure::AddShotMeasurement(double lrtValue, double brightnessMean, double liveMean)
{
    LrtValues.Add(lrtValue);
    if (const std::optional<double> correction = BrightnessCorrection(brightnessMean, liveMean))
        Corrections.Add(*correction);
}

qint64 TTimeLapseExposure::now() const
{
    if (Clock)
        return Clock();
    static QElapsedTimer monotonic;
    if (!monotonic.isValid())
        monotonic.start();
    return monotonic.elapsed();
}

void TTimeLapseExposure::sleep(int ms)
{
    if (Sleep)
        Sleep(ms);
    else
        Wait(ms);
}

void TTimeLapseExposure::trace(const QString& line)
{
    if (!DetailedLog)
        return;
    TLogger::LogTrace(line);
    emit Trace(line);
}

void TTimeLapseExposure::Reset(TCameraParams* params)
{
    m_params = params;
    m_started = false;
    m_changing = false;
    m_changesMade = 0;
    m_poolSize = 5;
    LrtWindow.SetCapacity(m_poolSize);
    EvWindow.SetCapacity(m_poolSize);
    m_reverseCorrection = 0;
    m_lastEvaluated = 0;
    m_lrtBase = m_lrtReference = m_lrtAverage = 0;
    m_evBase = m_evReference = m_evAverage = 0;
    m_liveAperture.clear();
    m_stepIndex = {};

    // The step selectors from the values the camera offers.
    const TCameraParam* iso = Param(Iso);
    const QStringList isoValues = iso ? iso->DisplayValues : QStringList();
    if (isoValues.contains(QLatin1String("250")))
        m_stepItems[Iso] = { kThird, kTwoThirds, kWhole };
    else if (follows(isoValues, QStringLiteral("200"), QStringLiteral("400")))
        m_stepItems[Iso] = { kWhole };
    else
        m_stepItems[Iso] = { QStringLiteral("-") };
    const TCameraParam* bias = Param(ExposureCompensation);
    const QStringList biasValues = bias ? bias->DisplayValues : QStringList();
    if (biasValues.contains(QLatin1String("+0.3")))
        m_stepItems[ExposureCompensation] = { kThird, kTwoThirds, kWhole };
    else if (biasValues.contains(QLatin1String("+0.5")))
        m_stepItems[ExposureCompensation] = { kHalf, kWhole };
    else if (follows(biasValues, QStringLiteral("+1.0"), QStringLiteral("+2.0")))
        m_stepItems[ExposureCompensation] = { kWhole };
    else
        m_stepItems[ExposureCompensation] = { QStringLiteral("-") };
    m_stepItems[Aperture] = m_stepItems[ExposureCompensation];

    // The maxima: live speeds and automatic ISO are no limits.
    m_maxShutterItems = { kChoose };
    if (const TCameraParam* speed = Param(ShutterSpeed)) {
        for (const QString& value : speed->DisplayValues)
            if (!isLiveSpeed(value))
                m_maxShutterItems << value;
        m_lastShutter = speed->Value;
    } else {
        m_lastShutter.clear();
    }
    m_maxIsoItems = { kChoose };
    for (const QString& value : isoValues)
        if (value.compare(QLatin1String("AUTO"), Qt::CaseInsensitive) != 0)
            m_maxIsoItems << value;

    m_adjustmentsEnabled = true;
    DrainAll();
    applyAutoMode();
}

TCameraParam* TTimeLapseExposure::Param(Property property) const
{
    if (!m_params)
        return nullptr;
    TCameraParam* param = m_params->Find(QLatin1String(kPropertyNames[property]));
    return param && param->Valid ? param : nullptr;
}

void TTimeLapseExposure::SetStarted(bool started)
{
    m_started = started;
    emit Changed();
}

bool TTimeLapseExposure::IsAdjustable(Property property) const
{
    const TCameraParam* mode = m_params ? m_params->Find(QStringLiteral("takemode")) : nullptr;
    if (!mode)
        return false;
    const QString take = mode->Value.toUpper();
    const auto in = [&take](std::initializer_list<const char*> modes) {
        for (const char* m : modes)
            if (take == QLatin1String(m))
                return true;
        return false;
    };
    switch (property) {
    case ShutterSpeed:
        return in({ "M", "S" });
    case Iso:
        return in({ "M", "S", "A", "P" });
    case Aperture:
        return in({ "M", "A" });
    case ExposureCompensation:
        return in({ "P", "S", "A" });
    }
    return false;
}

bool TTimeLapseExposure::IsEnabled(Property property) const
{
    return m_params && m_adjustmentsEnabled && IsAdjustable(property) && Param(property);
}

QString TTimeLapseExposure::ValueText(Property property) const
{
    if (!IsAdjustable(property))
        return kNone;
    if (property == Aperture && !m_liveAperture.isEmpty())
        return m_liveAperture;
    const TCameraParam* param = Param(property);
    return param ? param->Value : kNone;
}

QStringList TTimeLapseExposure::StepItems(Property property) const
{
    return m_stepItems[property];
}

bool TTimeLapseExposure::IsStepVisible(Property property) const
{
    return m_stepItems[property].size() > 1 || m_stepItems[property].value(0) != QLatin1String("-");
}

void TTimeLapseExposure::SetStepIndex(Property property, int index)
{
    m_stepIndex[property] = qBound(0, index, int(m_stepItems[property].size()) - 1);
}

void TTimeLapseExposure::ChooseMaxShutterSpeed(const QString& text)
{
    if (positionIn(m_maxShutterItems, text) > 0)
        m_maxShutter = text;
    emit Changed();
}

void TTimeLapseExposure::ChooseMaxIso(const QString& text)
{
    if (positionIn(m_maxIsoItems, text) > 0)
        m_maxIso = text;
    emit Changed();
}

void TTimeLapseExposure::enableAdjustments(bool enabled)
{
    m_adjustmentsEnabled = enabled;
    applyAutoMode();
}

bool TTimeLapseExposure::Change(Property property, bool up)
{
    if (m_changing || !IsEnabled(property))
        return false;
    TCameraParam* param = Param(property);
    // The shutter's "+" lengthens the exposure: towards the start of its list.
    const bool stepUp = property == ShutterSpeed ? !up : up;
    const int index = indexOfValue(*param);
    const int last = int(param->DisplayValues.size()) - 1;
    int steps = StepCount(property);
    if (index < 0)
        return false;
    if (stepUp) {
        steps = qMin(steps, last - index);
    } else {
        // Never into a live speed: those are no exposure of their own.
        int first = 0;
        while (property == ShutterSpeed && first < last && isLiveSpeed(param->DisplayValues.at(first)))
            ++first;
        steps = qMin(steps, index - first);
    }
    if (steps <= 0)
        return false;

    m_changing = true;
    enableAdjustments(false);
    emit ChangeRunning(property, true);
    bool done = false;
    try {
        const qint64 t0 = now();
        for (;;) {
            done = stepUp ? param->StepUp(steps) : param->StepDown(steps);
            if (done || now() - t0 >= GiveUpMs)
                break;
            sleep(RetryMs);
            if (now() - t0 >= GiveUpMs)
                break;
        }
    } catch (const std::exception& e) {
        TLogger::LogAlways(
            QStringLiteral("TfraTimeLapseAdvanced.Change (Ex): ") + QString::fromUtf8(e.what()));
        done = false;
    }
    if (done) {
        ++m_changesMade;
        if (property == ShutterSpeed)
            m_lastShutter = param->Value;
    }
    m_changing = false;
    emit ChangeRunning(property, false);
    enableAdjustments(true);
    emit Changed();
    return done;
}

void TTimeLapseExposure::ShowLiveShutterSpeed(const QString& text)
{
    if (!IsEnabled(ShutterSpeed))
        return;
    if (const TCameraParam* speed = Param(ShutterSpeed))
        m_lastShutter = speed->Value;
    Q_UNUSED(text);
}

void TTimeLapseExposure::ShowLiveAperture(const QString& text)
{
    if (IsEnabled(Aperture))
        m_liveAperture = text;
}

bool TTimeLapseExposure::IsAutoModeShown() const
{
    const TCameraParam* mode = m_params ? m_params->Find(QStringLiteral("takemode")) : nullptr;
    return UsesStartButton && mode && mode->Value.compare(QLatin1String("M"), Qt::CaseInsensitive) == 0;
}

bool TTimeLapseExposure::IsAutoModeEnabled() const
{
    return m_adjustmentsEnabled && IsAutoModeShown() && DebugMode && !m_started;
}

bool TTimeLapseExposure::IsStartShown() const
{
    return IsAutoModeShown() && DebugMode && !m_started;
}

void TTimeLapseExposure::SetAutoMode(int index)
{
    if (!IsAutoModeEnabled())
        return;
    m_mode = qBound(0, index, ModeCount - 1);
    applyAutoMode();
}

bool TTimeLapseExposure::IsAuto() const
{
    return IsAutoModeShown() && m_mode >= ModeLRTimelapse && m_mode < ModeCount;
}

void TTimeLapseExposure::applyAutoMode()
{
    emit Changed();
}

void TTimeLapseExposure::ToggleDirection()
{
    m_sunrise = !m_sunrise;
    applyAutoMode();
}

QString TTimeLapseExposure::DirectionText() const
{
    return m_sunrise ? rs("_rsSunrise") : rs("_rsSunset");
}

void TTimeLapseExposure::ReverseCorrectionUp()
{
    if (m_reverseCorrection < 10)
        m_reverseCorrection += 10;
    emit Changed();
}

void TTimeLapseExposure::ReverseCorrectionDown()
{
    if (m_reverseCorrection > 0)
        m_reverseCorrection -= 10;
    emit Changed();
}

QString TTimeLapseExposure::ReverseCorrectionText() const
{
    if (m_reverseCorrection == 0)
        return rs("_rsNoReverseCorrection");
    return rs("_rsReverseCorrection") + QStringLiteral(" (%1%)").arg(m_reverseCorrection);
}

void TTimeLapseExposure::PoolSizeUp()
{
    ++m_poolSize;
    LrtWindow.SetCapacity(m_poolSize);
    EvWindow.SetCapacity(m_poolSize);
    emit Changed();
}

void TTimeLapseExposure::PoolSizeDown()
{
    if (m_poolSize > 1)
        --m_poolSize;
    LrtWindow.SetCapacity(m_poolSize);
    EvWindow.SetCapacity(m_poolSize);
    emit Changed();
}

void TTimeLapseExposure::ToggleAutoReference()
{
    m_autoReference = !m_autoReference;
    emit Changed();
}

void TTimeLapseExposure::ReferenceDown()
{
    if (m_mode == ModeLRTimelapse)
        m_lrtBase *= 0.9;
    else
        m_evBase -= 0.3;
    if (!m_started) {
        m_lrtReference = m_lrtBase;
        m_evReference = m_evBase;
    }
    emit Changed();
    Evaluate();
}

void TTimeLapseExposure::ReferenceUp()
{
    if (m_mode == ModeLRTimelapse)
        m_lrtBase *= 1.1;
    else
        m_evBase += 0.3;
    if (!m_started) {
        m_lrtReference = m_lrtBase;
        m_evReference = m_evBase;
    }
    emit Changed();
    Evaluate();
}

double TTimeLapseExposure::Reference() const
{
    return m_mode == ModeLRTimelapse ? m_lrtReference : m_evReference;
}

double TTimeLapseExposure::BaseReference() const
{
    return m_mode == ModeLRTimelapse ? m_lrtBase : m_evBase;
}

double TTimeLapseExposure::Average() const
{
    return m_mode == ModeLRTimelapse ? m_lrtAverage : m_evAverage;
}

QString TTimeLapseExposure::ReferenceText() const
{
    if (m_mode == ModeLRTimelapse)
        return QString::asprintf("%.2f", m_lrtReference);
    return QString::asprintf("%.1f EV", m_evReference);
}

QString TTimeLapseExposure::AverageText() const
{
    if (m_mode == ModeLRTimelapse) {
        if (m_lrtReference == 0)
            return QString::asprintf("%.2f", m_lrtAverage);
        return QString::asprintf(
            "%.2f (%.1f%s)", m_lrtAverage, m_lrtAverage * 100 / m_lrtReference - 100, "%");
    }
    return QString::asprintf("%.1f EV", m_evAverage);
}

void TTimeLapseExposure::DrainAll()
{
    LrtValues.Clear();
    EvReadings.Clear();
    Corrections.Clear();
    LrtWindow.Clear();
    EvWindow.Clear();
    CorrectionWindow.Clear();
}

void TTimeLapseExposure::AutoTick()
{
    if (!IsAuto() || m_changing)
        return;
    const bool beforeStart = IsStartShown();
    if (m_mode == ModeLRTimelapse) {
        if (LrtValues.Count() > 0)
            LrtWindow.Add(LrtValues.TakeAverage());
        if (Corrections.Count() > 0)
            CorrectionWindow.Add(Corrections.TakeAverage());
        if (LrtWindow.Count() == 0)
            return;
        m_lrtAverage = LrtWindow.Average();
        if (beforeStart) {
            // The series begins a little below (sunset) or above (sunrise) the light it starts in.
            m_lrtBase = m_lrtAverage / (m_sunrise ? 0.9 : 1.1);
            m_lrtReference = m_lrtBase;
        }
        if (m_autoReference && CorrectionWindow.Count() > 0)
            m_lrtReference = m_lrtBase + CorrectionWindow.Average() / 100 * m_lrtBase;
    } else {
        if (EvReadings.Count() > 0)
            EvWindow.Add(EvReadings.TakeAverage());
        if (EvWindow.Count() == 0)
            return;
        m_evAverage = EvWindow.Average();
        if (beforeStart) {
            m_evBase = m_evAverage;
            m_evReference = m_evBase;
        }
        if (m_autoReference && CorrectionWindow.Count() > 0)
            m_evReference = m_evBase + CorrectionWindow.Average() / 100 * m_evBase;
    }
    emit Changed();
    Evaluate();
}

int TTimeLapseExposure::shutterPosition(const QString& text) const
{
    return positionIn(m_maxShutterItems, text);
}

int TTimeLapseExposure::isoPosition(const QString& text) const
{
    return positionIn(m_maxIsoItems, text);
}

QString TTimeLapseExposure::currentIso() const
{
    const TCameraParam* iso = Param(Iso);
    return iso ? iso->Value : QString();
}

bool TTimeLapseExposure::darker()
{
    // The lowest ISO cannot go lower; the shutter takes over there.
    if (isoPosition(currentIso()) > 1)
        return Change(Iso, false);
    const int last = shutterPosition(m_lastShutter);
    if (last >= 1 && last < int(m_maxShutterItems.size()) - 1)
        return Change(ShutterSpeed, false);
    return false;
}

bool TTimeLapseExposure::brighter()
{
    const int last = shutterPosition(m_lastShutter);
    if (shutterPosition(m_maxShutter) < last && last > 1)
        return Change(ShutterSpeed, true);
    const int iso = isoPosition(currentIso());
    if (iso >= 1 && iso < isoPosition(m_maxIso))
        return Change(Iso, true);
    return false;
}

bool TTimeLapseExposure::Evaluate()
{
    if (!m_started || !IsAuto() || m_changing)
        return false;
    if (m_mode == ModeLRTimelapse) {
        if (m_lrtAverage == m_lastEvaluated)
            return false;
        bool changed = false;
        if (m_sunrise && m_lrtAverage >= m_lrtReference)
            changed = darker();
        else if (!m_sunrise && m_lrtAverage <= m_lrtReference)
            changed = brighter();
        if (changed)
            DrainAll();
        m_lastEvaluated = m_lrtAverage;
        return changed;
    }
    const double d = DifferenceOf(m_mode);
    const double average = EvWindow.Count() > 0 ? EvWindow.Average() : m_evAverage;
    trace(QString::asprintf(
        "Exposure timelapse: Diff. %.1f EV, Avg. %.1f EV, Ref. %.1f EV", d, average, m_evReference));
    const double ref = m_evReference;
    // A small tolerance keeps a reading of exactly the offset (-0.7 of tenths) from missing it.
    constexpr double e = 1e-9;
    const bool adjust = (d < 0 && (average <= ref + d + e || average >= ref + 0.7 - e))
        || (d > 0 && (average >= ref + d - e || average <= ref - 0.7 + e));
    if (!adjust)
        return false;
    Adjust();
    return true;
}

bool TTimeLapseExposure::waitForReading(qint64 since)
{
    while (EvReadings.Count() == 0) {
        if (now() - since > GiveUpMs)
            return false;
        sleep(50);
    }
    return true;
}

int TTimeLapseExposure::Adjust()
{
    if (m_changing)
        return 0;
    const int before = m_changesMade;
    if (m_mode == ModeCount - 1) {
        m_stepIndex[ShutterSpeed] = 0;
        m_stepIndex[Iso] = 0;
    }
    double value = EvReadings.Count() > 0 ? EvReadings.TakeAverage() : m_evAverage;
    qint64 t0 = now();
    trace(QString::asprintf("Exposure timelapse: Adjust to reference value (%.1f EV)", m_evReference));
    while (std::abs(value - m_evReference) > 0.1 + 1e-9) {
        if (now() - t0 > GiveUpMs)
            break;
        t0 = now();
        bool changed = false;
        if (value > m_evReference) {
            trace(QString::asprintf("Exposure timelapse: Overexposed (%.1f EV)", value - m_evReference));
            changed = darker();
        } else {
            trace(QString::asprintf("Exposure timelapse: Underexposed (%.1f EV)", value - m_evReference));
            changed = brighter();
        }
        // At a limit nothing more can be done; waiting for readings would only repeat it.
        if (!changed)
            break;
        DrainAll();
        // Frames already under way still show the old exposure.
        sleep(SettleMs);
        EvReadings.Clear();
        if (!waitForReading(now()))
            break;
        value = EvReadings.TakeAverage();
        t0 = now();
        trace(QString::asprintf("Exposure timelapse: New exposure value (%.1f EV)", value));
    }
    m_evAverage = value;
    emit Changed();
    return m_changesMade - before;
}
