#include "remote/TShotFiles.h"

#include "base/TLogger.h"
#include "camera/TCameraModeAction.h"
#include "import/TBaseCameraImportItems.h"
#include "liveview/TLiveViewDetour.h"
#include "session/TCamera.h"

#include <exception>

TShotFiles::TShotFiles() = default;

TShotFiles::~TShotFiles()
{
    *m_alive = false;
}

void TShotFiles::SetCamera(TCamera* camera)
{
    m_camera = camera;
    m_playOnly = false;
    Forget();
}

void TShotFiles::Forget()
{
    m_files.clear();
    m_lastFolder.clear();
    m_known = false;
    m_failed = nullptr;
}

QString TShotFiles::keyOf(const QString& directory, const QString& fileName)
{
    return (directory + QLatin1Char('/') + fileName).toUpper();
}

void TShotFiles::learn(const TBaseCameraImportItems& files, const QString& lastFolder)
{
    m_files.clear();
    for (const TCameraImportItem* item : files)
        m_files.insert(keyOf(item->Directory, item->FileName));
    m_lastFolder = lastFolder;
    m_known = true;
}

void TShotFiles::Remember()
{
    if (m_known || !m_camera)
        return;
    const std::shared_ptr<bool> alive = m_alive;
    TBaseCameraImportItems files { true };
    QString lastFolder;
    const bool listed = readCard({}, files, lastFolder);
    if (!*alive)
        return;
    if (listed)
        learn(files, lastFolder);
}

bool TShotFiles::ListShot(TBaseCameraImportItems& shot)
{
    shot.Clear();
    if (!m_known)
        return ListNewest(shot);
    const std::shared_ptr<bool> alive = m_alive;
    TBaseCameraImportItems files { true };
    QString lastFolder;
    // A shot may open a new folder: the one listed last time and every later one.
    if (!readCard(m_lastFolder, files, lastFolder))
        return false;
    if (!*alive)
        return false;
    for (const TCameraImportItem* item : files)
        if (!m_files.contains(keyOf(item->Directory, item->FileName)))
            shot.Add(item->Directory, item->FileName, item->SizeText, item->DateText, item->TimeText);
    // The next shot's files are those not listed now; a folder before the newest one gets no more.
    learn(files, lastFolder);
    return true;
}

bool TShotFiles::ListNewest(TBaseCameraImportItems& shot)
{
    shot.Clear();
    if (!m_camera)
        return false;
    const std::shared_ptr<bool> alive = m_alive;
    TBaseCameraImportItems files { true };
    QString lastFolder;
    if (!readCard({}, files, lastFolder))
        return false;
    if (!*alive)
        return false;
    learn(files, lastFolder);
    // The newest entry and those before it with the same name without extension.
    if (files.Count() == 0)
        return true;
    const TCameraImportItem* newest = files[files.Count() - 1];
    const QString stem = newest->FileName.section(QLatin1Char('.'), 0, 0);
    for (int i = files.Count() - 1; i >= 0; --i) {
        const TCameraImportItem* item = files[i];
        if (item->FileName.section(QLatin1Char('.'), 0, 0) != stem)
            break;
        shot.Add(item->Directory, item->FileName, item->SizeText, item->DateText, item->TimeText);
    }
    return true;
}

bool TShotFiles::readCard(const QString& fromFolder, TBaseCameraImportItems& files, QString& lastFolder)
{
    if (!m_camera)
        return false;
    const std::shared_ptr<bool> alive = m_alive;
    TCameraModeAction& mode = m_camera->Remote.CameraMode;
    // Asked in recording mode first also where that was refused before: a refusal may have been a
    // passing fault, and a mode switch costs far more than one refused request.
    if (listFolders(fromFolder, files, lastFolder))
        return true;
    if (!*alive)
        return false;
    // Refused in recording mode: the body may list its card in play mode only.
    if (!mode.Enabled || !m_camera->Connected || !m_failed
        || m_failed->LastFailure == TCameraFailure::NoAnswer)
        return false;
    // The way back restores the mode with its size and the live view the switch ends at the camera.
    TLiveViewDetour detour(mode, m_camera->Remote.LiveView, m_camera->Remote.ReleaseView);
    const bool inPlay = mode.SwitchToMode(TCameraModeAction::ModePlay);
    if (!*alive)
        return false;
    if (!inPlay) {
        m_failed = &mode;
        return false;
    }
    files.Clear();
    const bool listed = listFolders(fromFolder, files, lastFolder);
    if (!*alive)
        return false;
    const TBaseAction* failed = m_failed;
    const bool back = detour.Return();
    if (!*alive)
        return false;
    if (listed)
        m_playOnly = true;
    if (!back)
        TLogger::LogAlways(QStringLiteral("TShotFiles: the camera did not go back to recording mode"));
    m_failed = listed ? (back ? nullptr : &mode) : failed;
    return listed;
}

bool TShotFiles::listFolders(const QString& fromFolder, TBaseCameraImportItems& files, QString& lastFolder)
{
    const std::shared_ptr<bool> alive = m_alive;
    // Bodies list their card by the CGI program or, lacking it, by the DCIM pages.
    TImageListAction& imageList = m_camera->Import.ImageList;
    THTTPImageListAction& pages = m_camera->Import.DirectoryList;
    auto listWith = [&](auto& list) -> bool {
        files.Clear();
        if (!list.Execute(QString()) || !*alive)
            return false;
        list.ParseFolders();
        if (list.Folders.isEmpty())
            return true; // an empty card
        lastFolder = list.Folders.last();
        QStringList folders;
        for (const QString& folder : list.Folders)
            if (folder == lastFolder
                || (!fromFolder.isEmpty() && folder.compare(fromFolder, Qt::CaseInsensitive) >= 0))
                folders << folder;
        for (const QString& folder : folders) {
            if (!list.Execute(QLatin1Char('/') + folder) || !*alive)
                return false;
            list.ParseItems();
            files.BeginUpdate();
            for (const TCameraImportItem* item : list.Items)
                files.Add(item->Directory, item->FileName, item->SizeText, item->DateText, item->TimeText);
            files.EndUpdate();
        }
        return true;
    };
    bool listed = false;
    m_failed = &imageList;
    try {
        if (imageList.Enabled) {
            listed = listWith(imageList);
            // An error answer may pass; a camera that does not answer would only make it wait again.
            if (!listed && *alive && imageList.LastFailure != TCameraFailure::NoAnswer)
                listed = listWith(imageList);
        }
        if (!*alive)
            return false;
        if (!listed && pages.Enabled && m_camera->Connected) {
            m_failed = &pages;
            listed = listWith(pages);
        }
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TShotFiles (Ex): ") + QString::fromUtf8(e.what()));
        if (!*alive)
            return false;
        listed = false;
    }
    if (!*alive)
        return false;
    if (listed)
        m_failed = nullptr;
    return listed;
}
