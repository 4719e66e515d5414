#include "remote/TTimeLapseCamera.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "camera/TCameraModeAction.h"
#include "camera/TCameraParams.h"
#include "liveview/JpegDec.h"
#include "remote/TShooting.h"
#include "session/TCamera.h"

#include <QImage>

#include <exception>

namespace {

// A take that waits longer has lost its camera.
constexpr int kSeriesTakeTimeoutMs = 8000;

// What a camera that comes back gets again, in this order (the take mode before its settings).
const char* const kSeriesSettings[]
    = { "takemode", "drivemode", "shutspeedvalue", "focalvalue", "isospeedvalue", "expcomp", "wbvalue" };

} // namespace

TTimeLapseCamera::TTimeLapseCamera() = default;

TTimeLapseCamera::~TTimeLapseCamera()
{
    *m_alive = false;
}

TCamera* TTimeLapseCamera::Camera() const
{
    return m_shooting ? m_shooting->Camera() : nullptr;
}

TTimeLapseShotOutcome TTimeLapseCamera::Shoot(int number, const std::function<bool()>& mayPressAgain)
{
    TTimeLapseShotOutcome outcome;
    if (!Camera()) {
        outcome.Reason = QStringLiteral("no camera");
        return outcome;
    }
    m_shooting->AutoDownload = false;
    m_shooting->AutoPreview = false;
    if (m_shooting->TakeTimeoutMs <= 0)
        m_shooting->TakeTimeoutMs = kSeriesTakeTimeoutMs;
    const std::shared_ptr<bool> alive = m_alive;
    bool taken = m_shooting->TakePhoto(-1, -1);
    if (!*alive)
        return outcome;
    // An error answer to the press took no picture: once more while the slot lasts.
    const TCameraFailure failure = m_shooting->Camera()->Remote.Take.LastFailure;
    if (!taken && failure == TCameraFailure::Status && m_shooting->Camera()->Connected && mayPressAgain
        && mayPressAgain()) {
        TLogger::LogAlways(QStringLiteral("TTimeLapseSeries: shot %1 pressed again").arg(number));
        taken = m_shooting->TakePhoto(-1, -1);
        if (!*alive)
            return outcome;
    }
    return Outcome(taken);
}

TTimeLapseShotOutcome TTimeLapseCamera::Outcome(bool taken) const
{
    TTimeLapseShotOutcome outcome;
    outcome.Ok = taken;
    const TCamera* camera = Camera();
    if (!camera) {
        outcome.Ok = false;
        outcome.CameraGone = true;
        outcome.Reason = rs("_rsNoCamera");
        return outcome;
    }
    outcome.CameraGone = !camera->Connected || camera->Remote.Take.LastFailure == TCameraFailure::NoAnswer;
    if (!outcome.Ok) {
        outcome.Reason = m_shooting->LastError().isEmpty()
            ? QStringLiteral("the camera did not take the picture")
            : m_shooting->LastError();
        return outcome;
    }
    outcome.CameraGone = false;
    for (const TCameraImportItem* item : m_shooting->LastTake())
        outcome.Files << TTimeLapseShotFile { item->CameraPath(), item->FileName, item->Size(),
            item->DateTime() };
    // The picture may be on the card, but which files are its is not known: none is given as its.
    if (outcome.Files.isEmpty()) {
        outcome.Ok = false;
        outcome.Reason
            = m_shooting->LastError().isEmpty() ? rs("_rsTimeLapseNoNewFile") : m_shooting->LastError();
    }
    return outcome;
}

QString TTimeLapseCamera::ParamValue(const char* name) const
{
    TCamera* camera = Camera();
    if (!camera)
        return {};
    const TCameraParam* param = camera->Remote.Params.Find(QLatin1String(name));
    return param && param->Valid ? param->Value : QString();
}

bool TTimeLapseCamera::RecordView(QByteArray& jpeg, QImage& image)
{
    TCamera* camera = Camera();
    if (!camera || !camera->Remote.RecordView.Enabled)
        return false;
    const std::shared_ptr<bool> alive = m_alive;
    TRecordViewAction& view = camera->Remote.RecordView;
    bool ok = false;
    try {
        ok = view.Execute();
    } catch (const std::exception& e) {
        TLogger::LogAlways(
            QStringLiteral("TTimeLapseSeries.MeasureShot (Ex): ") + QString::fromUtf8(e.what()));
    }
    if (!*alive)
        return false;
    image = ok ? DecodeJpegToBitmap(view.Data) : QImage();
    if (image.isNull()) {
        // The measurement of this shot is skipped; the series goes on.
        TLogger::LogAlways(QStringLiteral("TTimeLapseSeries.MeasureShot: no record view"));
        return false;
    }
    jpeg = view.Data;
    return true;
}

void TTimeLapseCamera::NoteSettings()
{
    m_settings.clear();
    TCamera* camera = Camera();
    if (!camera)
        return;
    for (const char* name : kSeriesSettings) {
        const TCameraParam* param = camera->Remote.Params.Find(QLatin1String(name));
        if (param && param->Valid && param->CanSet && !param->RawValue.isEmpty())
            m_settings << qMakePair(param->Name, param->RawValue);
    }
}

bool TTimeLapseCamera::Restore()
{
    TCamera* camera = Camera();
    if (!camera)
        return true;
    const std::shared_ptr<bool> alive = m_alive;
    TCameraModeAction& mode = camera->Remote.CameraMode;
    bool back = true;
    try {
        // A camera switched off and on again comes back in play mode.
        // An error answer still shows a camera that is there.
        if (mode.Enabled)
            back = mode.SwitchToMode(TCameraModeAction::ModeRec)
                || mode.LastFailure != TCameraFailure::NoAnswer;
        if (!*alive)
            return false;
        for (int i = 0; back && i < m_settings.size(); ++i) {
            TCameraParam* param = camera->Remote.Params.Find(m_settings.at(i).first);
            if (!param || !param->CanGet)
                continue;
            const bool read = param->Refresh();
            if (!*alive)
                return false;
            back = read || param->LastFailure != TCameraFailure::NoAnswer;
            if (read && param->CanSet
                && param->RawValue.compare(m_settings.at(i).second, Qt::CaseInsensitive))
                param->SetValue(m_settings.at(i).second);
            if (!*alive)
                return false;
        }
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TTimeLapseSeries.recover (Ex): ") + QString::fromUtf8(e.what()));
        if (!*alive)
            return false;
        back = false;
    }
    return back;
}
