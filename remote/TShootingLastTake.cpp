// The last shot's files: listed, shown as preview and downloaded.
#include "remote/TShooting.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "import/FileSizeText.h"
#include "import/TFileKind.h"
#include "import/TTransferQueue.h"
#include "session/TCamera.h"

#include <QFileInfo>

#include <exception>

bool TShooting::ListLastTake()
{
    return listLastTake("ListLastTake", m_alive, false);
}

bool TShooting::beforePress(quint64 generation, const std::shared_ptr<bool>& alive)
{
    m_lastTake.Clear();
    m_lastTakeInfo.clear();
    if (!LvAsTake) {
        m_sending = true;
        m_shotFiles.Remember();
        if (!*alive)
            return false;
        m_sending = false;
    }
    if (generation != m_generation) {
        abandon(false, alive);
        return false;
    }
    return true;
}

bool TShooting::listLastTake(const char* operation, const std::shared_ptr<bool>& aliveRef, bool afterShot)
{
    const std::shared_ptr<bool> alive = aliveRef;
    m_lastTake.Clear();
    m_lastTakeInfo.clear();
    if (!m_camera)
        return false;
    trace(QStringLiteral("TfraRemoteControl.%1: Request image list").arg(QLatin1String(operation)));
    const bool listed = afterShot ? m_shotFiles.ListShot(m_lastTake) : m_shotFiles.ListNewest(m_lastTake);
    if (!*alive)
        return false;
    if (!listed) {
        m_lastTake.Clear();
        const TBaseAction* failed = m_shotFiles.FailedAction();
        fail(rs(
            "_rsLastTakeNotListed", { failed ? reasonOf(m_camera, *failed, {}) : rs("_rsNoCameraAnswer") }));
    }
    for (const TCameraImportItem* item : m_lastTake) {
        if (!m_lastTakeInfo.isEmpty())
            m_lastTakeInfo += QStringLiteral("\r\n");
        m_lastTakeInfo += item->FileName + QLatin1Char('\t') + FileSizeText(item->SizeText);
    }
    emit Changed();
    return listed;
}

bool TShooting::hasExtension(const char* extension) const
{
    return TFileKind::AnyHas(m_lastTake, QLatin1String(extension));
}

bool TShooting::IsJpeg() const
{
    return hasExtension("JPG");
}

bool TShooting::IsRaw() const
{
    return hasExtension("ORF");
}

bool TShooting::LoadLastTakeAsPreview()
{
    if (!m_camera || !m_camera->Connected || !m_camera->Remote.RecordView.Enabled || LvAsTake
        || !m_camera->Remote.Take.IsOK())
        return false;
    const std::shared_ptr<bool> alive = m_alive;
    trace(QStringLiteral("TfraRemoteControl.LoadLastTakeAsPreview: gestartet"));
    bool result = false;
    try {
        TRecordViewAction& view = m_camera->Remote.RecordView;
        result = view.Execute();
        if (!*alive)
            return false;
        result = result && !view.Data.isEmpty();
        if (!result) {
            TLogger::LogAlways(
                QStringLiteral("TfraRemoteControl.LoadLastTakeAsPreview: Failed to load preview image"));
            fail(rs("_rsPreviewFailed", { reasonOf(m_camera, view, {}) }));
        } else {
            trace(QStringLiteral("TfraRemoteControl.LoadLastTakeAsPreview: anzeigen"));
            m_previewData = view.Data;
            emit Preview(m_previewData, m_lastTakeInfo);
        }
    } catch (const std::exception& e) {
        TLogger::LogAlways(
            QStringLiteral("TfraRemoteControl.LoadLastTakeAsPreview (Ex): ") + QString::fromUtf8(e.what()));
        if (!*alive)
            return false;
        result = false;
    }
    trace(QStringLiteral("TfraRemoteControl.LoadLastTakeAsPreview: beendet"));
    return result;
}

bool TShooting::LoadLastTake(const QString& folderText)
{
    QString folder = folderText.trimmed();
    if (folder.isEmpty() && ChooseFolder)
        folder = ChooseFolder().trimmed();
    if (folder.isEmpty() || !m_camera)
        return false;
    // An automatic download into a folder that went away must not pass for done.
    if (!QFileInfo(folder).isDir()) {
        fail(rs("_rsDownloadFolderMissing", { folder }));
        return false;
    }
    const std::shared_ptr<bool> alive = m_alive;
    begin();
    freeRegions(RegionNone);
    m_failedFiles.clear();
    m_loadedFiles.clear();
    const int count = m_lastTake.Count();
    const QString title = rs("_rsImportFile", { count });
    const int step = count > 0 ? 100 / count : 100;
    emit Progress(title, QString(), false, 0);
    emit Changed();
    // A queue of its own on the camera's link: the list may change while a file is waited for (a
    // take meanwhile), the queue holds copies of its files.
    TTransferQueue queue(m_camera->Import.FileLoader.Link);
    queue.Attempts = DownloadAttempts;
    for (int i = 0; i < count; ++i)
        queue.Enqueue(*m_lastTake[i], folder, i);
    int finished = 0;
    connect(&queue, &TTransferQueue::BytesReceived, this,
        [this](qint64 received, qint64 expected) { emit BytesReceived(received, expected); });
    connect(&queue, &TTransferQueue::FileStarted, this, [&](const TTransferQueue::TJob& job) {
        emit Progress(title, job.File.FileName, false, finished * step);
    });
    connect(&queue, &TTransferQueue::FileDone, this, [&](const TTransferQueue::TResult& result) {
        ++finished;
        // A copy already there counts as loaded; a refused name does not.
        if (!result.LocalPath.isEmpty()) {
            m_loadedFiles << result.LocalPath;
            emit Progress(title, result.Job.File.FileName, false, finished * step);
            return;
        }
        TLogger::LogAlways(QStringLiteral("TfraRemoteControl.LoadLastTake: %1 not loaded: %2")
                               .arg(result.Job.File.FileName, result.Reason));
        m_failedFiles << result.Job.File.FileName;
    });
    try {
        queue.Run();
    } catch (const std::exception& e) {
        TLogger::LogAlways(
            QStringLiteral("TfraRemoteControl.LoadLastTake (Ex): ") + QString::fromUtf8(e.what()));
    }
    if (!*alive)
        return false;
    // What the run did not reach (the camera or the folder gone) is not loaded either.
    for (const TTransferQueue::TJob& job : queue.Pending())
        m_failedFiles << job.File.FileName;
    if (!queue.StopReason().isEmpty())
        TLogger::LogAlways(QStringLiteral("TfraRemoteControl.LoadLastTake: stopped: ") + queue.StopReason());
    const bool result = m_failedFiles.isEmpty();
    if (result) {
        emit Progress(title, rs("_rsTaskFinished"), true, 100);
    } else {
        const QString text
            = rs("_rsTaskFailed") + QStringLiteral(": ") + m_failedFiles.join(QStringLiteral(", "));
        emit Progress(title, text, true, 100);
        fail(text);
    }
    end();
    emit Changed();
    return result;
}
