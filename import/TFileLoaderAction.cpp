#include "import/TFileLoaderAction.h"

#include "camera/CameraEndpoints.h"
#include "camera/TIdHTTPBuilder.h"
#include "camera/TIdHTTPEx.h"
#include "import/TDownloadFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

struct TFileLoaderAction::Transfer
{
    std::unique_ptr<TIdHTTPEx> Client;
    std::unique_ptr<TDownloadFile> File;
    TFileLoadTarget Target;
    QString CameraPath;
    quint64 Generation = 0;
    bool Waited = false;
    bool Abandoned = false; // reset or cancelled while a waited load still runs

    ~Transfer()
    {
        // The client first: its end must not write into a file that is already gone.
        Client.reset();
        File.reset(); // uncommitted: the temporary file is removed
    }
};

TFileLoaderAction::TFileLoaderAction(TCameraLink link, const QString& cgiName)
    : TBaseImportAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("TFileLoaderAction"));
}

TFileLoaderAction::~TFileLoaderAction()
{
    // A background transfer dies with its client; the queued completion goes with the client.
    if (m_transfer && m_transfer->Waited) {
        m_transfer->Abandoned = true;
        if (m_transfer->Client)
            m_transfer->Client->Abort();
        m_transfer.release(); // still on the waiting caller's stack, which frees it
    }
}

void TFileLoaderAction::Reset()
{
    ++m_generation;
    if (m_transfer) {
        if (m_transfer->Waited) {
            // The waiting Load frees it once its wait has ended.
            m_transfer->Abandoned = true;
            if (m_transfer->Client)
                m_transfer->Client->Abort();
            m_transfer.release();
        } else {
            m_transfer.reset();
        }
    }
    TBaseImportAction::Reset();
    BytesReceived = 0;
    LoadedFile.clear();
}

bool TFileLoaderAction::Probe(const TCGIFunction*)
{
    Reset();
    Enabled = true;
    return true;
}

void TFileLoaderAction::fail(TCameraFailure kind, const QString& why)
{
    LastFailure = kind;
    LastError = why;
    logError(QStringLiteral("TFileLoaderAction.Load: ") + why);
}

QString TFileLoaderAction::SafeFileName(const QString& cameraName, QString* why)
{
    auto refuse = [&](const QString& reason) {
        if (why)
            *why = QStringLiteral("refused the camera file name \"%1\": %2").arg(cameraName, reason);
        return QString();
    };
    if (cameraName.isEmpty())
        return refuse(QStringLiteral("it is empty"));
    if (cameraName == QLatin1String(".") || cameraName == QLatin1String(".."))
        return refuse(QStringLiteral("it names a folder"));
    for (const QChar c : cameraName) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':'))
            return refuse(QStringLiteral("it holds a path separator"));
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || (c.unicode() >= 0x80 && c.unicode() < 0xA0))
            return refuse(QStringLiteral("it holds a control character"));
    }
    return cameraName;
}

QString TFileLoaderAction::TargetPath(const QString& folder, const QString& cameraName, QString* why)
{
    const QString name = SafeFileName(cameraName, why);
    if (name.isEmpty())
        return {};
    const QString base = QDir(folder).absolutePath();
    const QString path = QDir::cleanPath(base + QLatin1Char('/') + name);
    if (QFileInfo(path).absolutePath() != base) {
        if (why)
            *why = QStringLiteral("refused the camera file name \"%1\": it leads out of %2")
                       .arg(cameraName, base);
        return {};
    }
    return path;
}

bool TFileLoaderAction::SetModificationTime(const QString& path, const QDateTime& when, QString* why)
{
    QFile file(path);
    if (!file.open(QIODevice::Append) || !file.setFileTime(when, QFileDevice::FileModificationTime)) {
        if (why)
            *why = QStringLiteral("cannot set the time of %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool TFileLoaderAction::Load(const QString& cameraPath, const TFileLoadTarget& target, bool wait)
{
    if (Busy) {
        LastError = QStringLiteral("another transfer is still running");
        LastFailure = TCameraFailure::Busy;
        return false;
    }
    Busy = true;
    Data.clear();
    Lines.clear();
    LastError.clear();
    LastFailure = TCameraFailure::None;
    ResponseCode = -1;
    BytesReceived = 0;
    LoadedFile.clear();
    if (!Enabled) {
        Busy = false;
        return true;
    }
    const bool result = start(cameraPath, target, wait);
    // A background transfer stays busy until its completion; one that did not start does not.
    if (wait || !result)
        Busy = false;
    return result;
}

bool TFileLoaderAction::start(const QString& cameraPath, const TFileLoadTarget& target, bool wait)
{
    const QFileInfo info(target.FileName);
    if (target.FileName.trimmed().isEmpty() || !QFileInfo(info.absolutePath()).isDir()) {
        fail(TCameraFailure::LocalWrite,
            QStringLiteral("the folder of \"%1\" does not exist").arg(target.FileName));
        return false;
    }

    auto transfer = std::make_unique<Transfer>();
    transfer->Target = target;
    transfer->CameraPath = cameraPath;
    transfer->Waited = wait;
    transfer->Generation = ++m_generation;
    transfer->File = std::make_unique<TDownloadFile>(target.FileName);
    if (!transfer->File->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        fail(TCameraFailure::LocalWrite,
            QStringLiteral("cannot write %1: %2").arg(target.FileName, transfer->File->errorString()));
        return false;
    }
    const qint64 expected = target.ExpectedSize;
    transfer->File->OnWritten = [this, expected](qint64 written) {
        BytesReceived = written;
        if (OnProgress)
            OnProgress(written, expected);
    };
    transfer->Client.reset(TIdHTTPBuilder::CreateHTTP(Timeout::Download, Timeout::LogBodyDownload));
    // Files go to disk, so no memory cap; a known size is the most the camera may send.
    transfer->Client->MaxBodySize = expected >= 0 ? expected : -1;
    const QString url = Link.url(Endpoint::Dcim) + cameraPath;

    if (!wait) {
        const quint64 generation = transfer->Generation;
        transfer->Client->OnDone
            = [this, generation](TIdHTTPEx*, bool ok) { onBackgroundDone(generation, ok); };
        TIdHTTPEx* client = transfer->Client.get();
        TDownloadFile* file = transfer->File.get();
        m_transfer = std::move(transfer);
        if (!client->Get(url, file)) {
            fail(TCameraFailure::NoAnswer, client->LastError());
            m_transfer.reset();
            return false;
        }
        return true;
    }

    Transfer* running = transfer.get();
    m_transfer = std::move(transfer);
    const bool transportOk = running->Client->Get(url, running->File.get());
    if (running->Abandoned) {
        // Reset, cancelled or the action itself went away during the wait: only clean up.
        delete running;
        if (LastFailure == TCameraFailure::None)
            LastFailure = TCameraFailure::Reset;
        return false;
    }
    std::unique_ptr<Transfer> own = std::move(m_transfer);
    const bool result = finish(*own, transportOk);
    own.reset();
    if (OnDone)
        OnDone(this, result);
    return result;
}

bool TFileLoaderAction::finish(Transfer& transfer, bool transportOk)
{
    ResponseCode = transfer.Client->ResponseCode();
    const qint64 written = transfer.File->Written();
    BytesReceived = written;
    const qint64 expected = transfer.Target.ExpectedSize;
    QString why;
    TCameraFailure kind = TCameraFailure::None;
    if (ResponseCode == 404) {
        kind = TCameraFailure::Status;
        why = QStringLiteral("the camera has no file %1 (404)").arg(transfer.CameraPath);
    } else if (ResponseCode > 0 && ResponseCode != 200) {
        kind = TCameraFailure::Status;
        why = QStringLiteral("the camera answered %1 for %2").arg(ResponseCode).arg(transfer.CameraPath);
    } else if (!transportOk) {
        // The file refusing bytes ends the transfer as well; then the disk is at fault, not the camera.
        kind = transfer.File->IsWriteFailed() ? TCameraFailure::LocalWrite : TCameraFailure::NoAnswer;
        why = QStringLiteral("%1: %2").arg(transfer.CameraPath, transfer.Client->LastError());
    } else if (expected >= 0 && written != expected) {
        kind = TCameraFailure::NoAnswer;
        why = QStringLiteral("%1: received %2 of %3 bytes")
                  .arg(transfer.CameraPath, QString::number(written), QString::number(expected));
    }
    if (!why.isEmpty()) {
        fail(kind, why);
        return false; // the uncommitted file is removed with the transfer
    }
    transfer.Client.reset();
    if (!transfer.File->commit()) {
        fail(TCameraFailure::LocalWrite,
            QStringLiteral("cannot write %1: %2")
                .arg(transfer.Target.FileName, transfer.File->errorString()));
        return false;
    }
    LoadedFile = transfer.Target.FileName;
    if (transfer.Target.Modified.isValid()) {
        // The file itself is complete; a time that cannot be set is reported but keeps it.
        QString timeError;
        if (!SetModificationTime(LoadedFile, transfer.Target.Modified, &timeError)) {
            LastError = timeError;
            logError(QStringLiteral("TFileLoaderAction.Load: ") + timeError);
        }
    }
    return true;
}

void TFileLoaderAction::onBackgroundDone(quint64 generation, bool transportOk)
{
    if (!m_transfer || m_transfer->Generation != generation || generation != m_generation)
        return; // a transfer that was reset meanwhile
    std::unique_ptr<Transfer> own = std::move(m_transfer);
    bool ok = false;
    try {
        ok = finish(*own, transportOk);
    } catch (...) {
        fail(TCameraFailure::Internal, QStringLiteral("%1: unexpected error").arg(own->CameraPath));
        ok = false;
    }
    // The client is inside its own completion call; it goes once that has returned.
    if (own->Client)
        own->Client.release()->deleteLater();
    own.reset();
    Busy = false;
    if (OnDone)
        OnDone(this, ok);
    if (OnLoaded)
        OnLoaded(this, ok);
}

void TFileLoaderAction::Cancel()
{
    if (!m_transfer)
        return;
    if (m_transfer->Waited) {
        m_transfer->Abandoned = true;
        if (m_transfer->Client)
            m_transfer->Client->Abort();
        m_transfer.release();
        LastError = QStringLiteral("cancelled");
        LastFailure = TCameraFailure::Cancelled;
        return;
    }
    // A background transfer ends through its completion, which reports the failure.
    if (m_transfer->Client)
        m_transfer->Client->Abort();
}
