// The last shot's files: listed, shown as preview and downloaded.
#include "remote/TShooting.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "import/FileSizeText.h"
#include "import/TFileKind.h"
#include "import/TFileLoaderAction.h"
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
    TFileLoaderAction& loader = m_camera->Import.FileLoader;
    const auto previous = loader.OnProgress;
    loader.OnProgress = [this, alive](qint64 received, qint64 expected) {
        if (*alive)
            emit BytesReceived(received, expected);
    };
    // The list may change while a file is waited for (a take meanwhile): walk a copy.
    TBaseCameraImportItems files { true };
    files.AssignFrom(&m_lastTake, true);
    for (int i = 0; i < files.Count(); ++i) {
        const TCameraImportItem& item = *files[i];
        emit Progress(title, item.FileName, false, i * step);
        QString why;
        const QString local = TFileLoaderAction::TargetPath(folder, item.FileName, &why);
        bool loaded = false;
        if (local.isEmpty()) {
            TLogger::LogAlways(QStringLiteral("TfraRemoteControl.LoadLastTake: ") + why);
        } else {
            try {
                loaded = loader.Load(item.CameraPath(), { local, item.Size(), item.DateTime() }, true);
            } catch (const std::exception& e) {
                TLogger::LogAlways(
                    QStringLiteral("TfraRemoteControl.LoadLastTake (Ex): ") + QString::fromUtf8(e.what()));
                loaded = false;
            }
            if (!*alive)
                return false;
            loaded = loaded && !loader.LoadedFile.isEmpty(); // the name or a free variant of it
            if (!loaded)
                TLogger::LogAlways(QStringLiteral("TfraRemoteControl.LoadLastTake: %1 not loaded: %2")
                                       .arg(item.FileName, loader.LastError));
        }
        if (loaded) {
            m_loadedFiles << loader.LoadedFile;
            emit Progress(title, item.FileName, false, (i + 1) * step);
        } else
            m_failedFiles << item.FileName;
    }
    loader.OnProgress = previous;
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
