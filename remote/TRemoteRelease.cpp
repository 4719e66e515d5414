#include "remote/TRemoteRelease.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "import/CameraDateTime.h"
#include "import/FileSizeText.h"
#include "import/TFileKind.h"
#include "session/TCamera.h"

#include <exception>

TRemoteRelease::TRemoteRelease(QObject* parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { timerTick(); });
}

TRemoteRelease::~TRemoteRelease()
{
    *m_alive = false;
}

void TRemoteRelease::trace(const QString& line) const
{
    if (DetailedLog)
        TLogger::LogTrace(line);
}

void TRemoteRelease::SetCamera(TCamera* camera)
{
    m_camera = camera;
    m_timer.stop();
    m_running = false;
    m_requesting = false;
    m_newFileCount = 0;
    m_newShotCount = 0;
    m_newFileBytes = 0;
    m_shutterModeRefused = false;
    m_latest.Clear();
    m_known.Clear();
    m_lastTakeInfo.clear();
    emit Changed();
}

void TRemoteRelease::Start(const std::function<void()>& startView)
{
    const std::shared_ptr<bool> alive = m_alive;
    trace(QStringLiteral("TfraRemoteRelease.GoStart: ceStart"));
    emit Communication(TCommunication::Begin());
    if (!*alive)
        return;
    try {
        if (startView)
            startView();
        if (*alive) {
            m_requesting = false;
            m_running = true;
            requestData(true, alive);
        }
        if (*alive) {
            m_timer.start(PollIntervalMs);
            m_lastTakeInfo.clear();
            emit Changed();
        }
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TfraRemoteRelease.GoStart (Ex): ") + QString::fromUtf8(e.what()));
    }
    if (!*alive)
        return;
    trace(QStringLiteral("TfraRemoteRelease.GoStart: ceStop"));
    emit Communication(TCommunication::End());
}

void TRemoteRelease::Leave()
{
    m_timer.stop();
    m_running = false;
}

void TRemoteRelease::timerTick()
{
    m_timer.stop();
    if (!m_running)
        return;
    const std::shared_ptr<bool> alive = m_alive;
    requestData(false, alive);
    // Leave during the poll's wait ends the polling too.
    if (*alive && m_running)
        m_timer.start(PollIntervalMs);
}

bool TRemoteRelease::CanSwitchMode() const
{
    return m_camera && m_camera->Remote.CameraMode.Enabled;
}

bool TRemoteRelease::RequestData(bool baseline)
{
    return requestData(baseline, m_alive);
}

bool TRemoteRelease::requestData(bool baseline, const std::shared_ptr<bool>& aliveRef)
{
    // A copy: the member goes with the object while we wait.
    const std::shared_ptr<bool> alive = aliveRef;
    if (m_requesting || !m_camera)
        return false;
    m_requesting = true;
    m_latest.Clear();
    bool result = false;
    try {
        // Readable in shutter mode, where the listing request is not.
        THTTPImageListAction& list = m_camera->Import.DirectoryList;
        const bool listed = list.Execute(QString());
        if (!*alive)
            return false;
        if (listed)
            list.ParseFolders();
        if (listed && !list.Folders.isEmpty()) {
            const QString folder = list.Folders.last();
            const bool read = list.Execute(QLatin1Char('/') + folder);
            if (!*alive)
                return false;
            if (read) {
                list.ParseItems();
                QString info;
                if (baseline) {
                    m_known.AssignFrom(&list.Items, true);
                } else {
                    m_latest.AssignFrom(&list.Items.LatestGroup(), true);
                    // The newest group is one shot, however many files it wrote.
                    bool newShot = false;
                    // The group is newest first; the list sorts oldest first.
                    for (int i = m_latest.Count() - 1; i >= 0; --i) {
                        const TCameraImportItem* item = m_latest[i];
                        if (!info.isEmpty())
                            info += QStringLiteral("\r\n");
                        info += item->FileName + QLatin1Char('\t') + FileSizeText(item->SizeText);
                        if (m_known.Contains(item))
                            continue;
                        m_known.Add(
                            item->Directory, item->FileName, item->SizeText, item->DateText, item->TimeText);
                        bool isNumber = false;
                        const qint64 size = item->SizeText.toLongLong(&isNumber);
                        if (isNumber)
                            m_newFileBytes += size;
                        ++m_newFileCount;
                        newShot = true;
                    }
                    if (newShot)
                        ++m_newShotCount;
                    if (m_latest.Count() > 0) {
                        const TCameraImportItem* first = m_latest[m_latest.Count() - 1];
                        info += QStringLiteral("\r\n") + rs("_rsFrom") + QLatin1Char(' ')
                            + CameraDateText(first->DateText) + QLatin1Char(' ')
                            + CameraTimeText(first->TimeText);
                    }
                }
                m_lastTakeInfo = info;
                result = true;
            }
        }
    } catch (const std::exception& e) {
        TLogger::LogAlways(
            QStringLiteral("TfraRemoteRelease.RequestData (Ex): ") + QString::fromUtf8(e.what()));
        if (!*alive)
            return false;
        m_lastTakeInfo.clear();
    }
    m_requesting = false;
    if (result)
        emit Changed();
    return result;
}

bool TRemoteRelease::hasExtension(const char* extension) const
{
    return TFileKind::AnyHas(m_latest, QLatin1String(extension));
}

bool TRemoteRelease::IsJpeg() const
{
    return hasExtension("JPG");
}

bool TRemoteRelease::IsRaw() const
{
    return hasExtension("ORF");
}

bool TRemoteRelease::IsTakeEnabled() const
{
    if (!m_camera)
        return false;
    const TCameraModeAction& mode = m_camera->Remote.CameraMode;
    return (m_camera->Capabilities & TCamera::CapRelease) && mode.Enabled
        && (mode.Mode == TCameraModeAction::ModeShutter
            || mode.Mode == TCameraModeAction::ModeShutterWithSize);
}

bool TRemoteRelease::TakePhoto()
{
    const std::shared_ptr<bool> alive = m_alive;
    emit Communication(TCommunication::Begin());
    if (!*alive)
        return false;
    trace(QStringLiteral("TfraRemoteRelease.TakePhoto: ceStart"));
    bool result = false;
    try {
        if (m_camera && m_camera->Connected && m_camera->Remote.Release.Enabled) {
            TReleaseAction& release = m_camera->Remote.Release;
            result = release.Release(0, TReleaseAction::FirstSecondPush);
            if (!*alive)
                return result;
            // A release that fails is not reported: the picture is taken.
            if (result)
                release.Release(0, TReleaseAction::SecondFirstRelease);
        }
    } catch (const std::exception& e) {
        TLogger::LogAlways(
            QStringLiteral("TfraRemoteRelease.TakePhoto (Ex): ") + QString::fromUtf8(e.what()));
    }
    if (!*alive)
        return result;
    emit Communication(TCommunication::End());
    trace(QStringLiteral("TfraRemoteRelease.TakePhoto: ceStop"));
    if (!*alive)
        return result;
    emit Communication(TCommunication::NewFreeRegions({}));
    trace(QStringLiteral("TfraRemoteRelease.TakePhoto: ceChangeFreeRegion"));
    return result;
}

bool TRemoteRelease::EnterShutterMode(quint8 mode)
{
    if (!m_camera || !m_camera->Remote.CameraMode.Enabled)
        return false;
    const std::shared_ptr<bool> alive = m_alive;
    const bool entered = m_camera->Remote.CameraMode.SwitchToMode(mode);
    if (!*alive)
        return entered;
    if (entered != !m_shutterModeRefused) {
        m_shutterModeRefused = !entered;
        emit Changed();
    }
    return entered;
}

void TRemoteRelease::StopReleaseView()
{
    if (!m_camera)
        return;
    TReleaseViewAction& view = m_camera->Remote.ReleaseView;
    if (view.LiveViewState == TBaseLiveViewAction::Started)
        view.Execute(TBaseLiveViewAction::KindStop, 0);
}
