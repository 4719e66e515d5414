#pragma once

#include <QSet>
#include <QString>

#include <memory>

class TBaseAction;
class TBaseCameraImportItems;
class TCamera;

// What a shot left on the card: the names the card lists after the shot that it did not list
// before. No date decides, since a camera whose clock was set back dates a new file before the old
// ones. After a shot, its listing is what the card holds before the next one, so a series lists once
// per shot. A body that refuses the listing in recording mode is switched to play mode for it and
// back to recording mode.
//
// Requests wait while events are processed: an object destroyed during such a wait returns false
// without touching itself again.
class TShotFiles
{
public:
    TShotFiles();
    ~TShotFiles();
    TShotFiles(const TShotFiles&) = delete;
    TShotFiles& operator=(const TShotFiles&) = delete;

    // Forgets what the card held.
    void SetCamera(TCamera* camera);
    void Forget();

    // Before a press: lists the card unless it is known from the last shot. A failure only makes
    // the shot's listing fall back to the newest group.
    void Remember();
    // After a shot: its files into shot (cleared first), in the card's order. Without a listing from
    // before: the newest group of the last folder. False when the card could not be listed;
    // FailedAction() names the request for the reason.
    bool ListShot(TBaseCameraImportItems& shot);
    // The newest group of the last folder, as the last shot when none was taken here.
    bool ListNewest(TBaseCameraImportItems& shot);

    bool IsKnown() const { return m_known; }
    bool ListsOnlyInPlayMode() const { return m_playOnly; }
    const TBaseAction* FailedAction() const { return m_failed; }

private:
    // The files of the folders from fromFolder on (empty: the last folder only) into files, their
    // last folder into lastFolder. Switches to play mode and back where that is needed.
    bool readCard(const QString& fromFolder, TBaseCameraImportItems& files, QString& lastFolder);
    bool listFolders(const QString& fromFolder, TBaseCameraImportItems& files, QString& lastFolder);
    void learn(const TBaseCameraImportItems& files, const QString& lastFolder);
    static QString keyOf(const QString& directory, const QString& fileName);

    TCamera* m_camera = nullptr;
    QSet<QString> m_files; // camera paths in upper case
    QString m_lastFolder;
    bool m_known = false;
    bool m_playOnly = false;
    const TBaseAction* m_failed = nullptr;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
