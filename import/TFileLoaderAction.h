#pragma once

#include "import/TBaseImportAction.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>

// Where a downloaded file goes and what it must look like.
struct TFileLoadTarget
{
    // The wanted path; its folder must exist. A different file there keeps its name: the download
    // takes the first free variant (TLocalCopies), and LoadedFile tells which.
    QString FileName;
    qint64 ExpectedSize = -1; // the listed size; -1: not checked
    QDateTime Modified; // the camera's date and time for the file; invalid: left as written
};

// Downloads one file from the card ("/DCIM" + camera path), waited or in the background. The bytes
// stream into a temporary file beside the target and take the final name only once the transfer
// is complete and its size is right; a failed, cancelled or reset transfer leaves nothing behind.
// At most one transfer runs at a time.
class TFileLoaderAction : public TBaseImportAction
{
public:
    explicit TFileLoaderAction(TCameraLink link, const QString& cgiName = QString());
    ~TFileLoaderAction() override;

    // Abandons a running transfer: its temporary file goes, its late completion changes nothing.
    void Reset() override;
    // Always enabled; probed without a description.
    bool Probe(const TCGIFunction* description) override;

    // Waited: true when the file is complete under target.FileName. Background: true when the
    // transfer started; OnDone and OnLoaded report its end. False at once while another transfer
    // runs (which goes on undisturbed). A disabled action does nothing and returns true.
    bool Load(const QString& cameraPath, const TFileLoadTarget& target, bool wait);
    // Ends the running transfer as failed.
    void Cancel();

    std::function<void(TFileLoaderAction* sender, bool success)> OnLoaded;
    // Bytes written so far and the expected size (-1 unknown), as they arrive.
    std::function<void(qint64 received, qint64 expected)> OnProgress;
    qint64 BytesReceived = 0;
    QString LoadedFile; // the final path of the last complete transfer (the name or a free variant)

    // A file name from the camera that is safe to create in a folder of ours: refused (empty
    // result, reason in why) when it is empty, "." or "..", or holds '/', '\\', ':' or a control
    // character.
    static QString SafeFileName(const QString& cameraName, QString* why = nullptr);
    // folder + the safe name, checked once more to lie directly inside folder; empty when refused.
    static QString TargetPath(const QString& folder, const QString& cameraName, QString* why = nullptr);
    static bool SetModificationTime(const QString& path, const QDateTime& when, QString* why = nullptr);

private:
    struct Transfer;
    bool start(const QString& cameraPath, const TFileLoadTarget& target, bool wait);
    bool finish(Transfer& transfer, const TCameraAnswer& answer);
    void onBackgroundDone(quint64 generation, const TCameraAnswer& answer);
    void fail(TCameraFailure kind, const QString& why);
    // Leaves a waited transfer to the Load that waits for it, which frees it; nothing more of it
    // reaches this action.
    void abandonWaited();

    std::unique_ptr<Transfer> m_transfer;
    quint64 m_generation = 0;
    // Lets a waited Load notice that the action went away during its wait.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
