#include "import/TFileLoaderAction.h"

#include "camera/CameraEndpoints.h"
#include "import/TDownloadFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <exception>

struct TFileLoaderAction::Transfer
{
    std::unique_ptr<TCameraStream> Stream;
    std::unique_ptr<TDownloadFile> File;
    TFileLoadTarget Target;
    QString CameraPath;
    quint64 Generation = 0;
    bool Waited = false;
    bool Abandoned = false; // reset or cancelled while a waited load still runs

    ~Transfer()
    {
        // The exchange first: its end must not write into a file that is already gone.
        Stream.reset();
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
    *m_alive = false;
    // A background transfer ends silently with its stream; a waited one is left to its Load.
    if (m_transfer && m_transfer->Waited)
        abandonWaited();
}

void TFileLoaderAction::abandonWaited()
{
    m_transfer->Abandoned = true;
    m_transfer->File->OnWritten = nullptr;
    m_transfer->Stream->abort();
    m_transfer.release(); // still on the waiting Load's stack, which frees it
}

void TFileLoaderAction::Reset()
{
    ++m_generation;
    if (m_transfer) {
        if (m_transfer->Waited)
            abandonWaited();
        else
            m_transfer.reset();
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
    const std::shared_ptr<bool> alive = m_alive;
    const bool result = start(cameraPath, target, wait);
    if (!*alive)
        return false;
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
    if (!transfer->File->Open()) {
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
    TCameraStreamRequest request;
    request.Url = Link.url(Endpoint::Dcim) + cameraPath;
    request.ReadTimeoutMs = Timeout::Download;
    request.LogBody = Timeout::LogBodyDownload;
    request.Sink = transfer->File.get();
    // Files go to disk, so no memory cap; a known size is the most the camera may send.
    request.MaxBodySize = expected >= 0 ? expected : -1;
    transfer->Stream = Link.stream(request);

    if (!wait) {
        const quint64 generation = transfer->Generation;
        TCameraStream* stream = transfer->Stream.get();
        m_transfer = std::move(transfer);
        QString why;
        const auto done
            = [this, generation](const TCameraAnswer& answer) { onBackgroundDone(generation, answer); };
        if (!stream->start(done, why)) {
            fail(TCameraFailure::NoAnswer, why);
            m_transfer.reset();
            return false;
        }
        return true;
    }

    const std::shared_ptr<bool> alive = m_alive;
    Transfer* running = transfer.get();
    m_transfer = std::move(transfer);
    const TCameraAnswer answer = running->Stream->run();
    if (running->Abandoned) {
        // Reset, cancelled or the action itself went away during the wait: only clean up.
        delete running;
        if (*alive && LastFailure == TCameraFailure::None)
            LastFailure = TCameraFailure::Reset;
        return false;
    }
    std::unique_ptr<Transfer> own = std::move(m_transfer);
    const bool result = finish(*own, answer);
    own.reset();
    if (OnDone)
        OnDone(this, result);
    return result;
}

bool TFileLoaderAction::finish(Transfer& transfer, const TCameraAnswer& answer)
{
    ResponseCode = answer.Code;
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
    } else if (!answer.Completed) {
        // A file that refused bytes ended it as well (LocalWrite): then the disk is at fault.
        kind = answer.Failure != TCameraFailure::None ? answer.Failure
            : transfer.File->IsWriteFailed()          ? TCameraFailure::LocalWrite
                                                      : TCameraFailure::NoAnswer;
        why = QStringLiteral("%1: %2").arg(transfer.CameraPath, answer.Error);
    } else if (expected >= 0 && written != expected) {
        kind = TCameraFailure::NoAnswer;
        why = QStringLiteral("%1: received %2 of %3 bytes")
                  .arg(transfer.CameraPath, QString::number(written), QString::number(expected));
    }
    if (!why.isEmpty()) {
        fail(kind, why);
        return false; // the uncommitted file is removed with the transfer
    }
    transfer.Stream.reset();
    QString placeError, timeError;
    const QString placed = transfer.File->Place(transfer.Target.Modified, &placeError, &timeError);
    if (placed.isEmpty()) {
        fail(TCameraFailure::LocalWrite, placeError);
        return false;
    }
    LoadedFile = placed;
    if (!timeError.isEmpty()) {
        // The file itself is complete; a time that cannot be set is reported but keeps it.
        LastError = timeError;
        logError(QStringLiteral("TFileLoaderAction.Load: ") + timeError);
    }
    return true;
}

void TFileLoaderAction::onBackgroundDone(quint64 generation, const TCameraAnswer& answer)
{
    if (!m_transfer || m_transfer->Generation != generation || generation != m_generation)
        return; // a transfer that was reset meanwhile
    std::unique_ptr<Transfer> own = std::move(m_transfer);
    bool ok = false;
    try {
        ok = finish(*own, answer);
    } catch (const std::exception& e) {
        fail(TCameraFailure::Internal,
            QStringLiteral("%1: unexpected error: %2")
                .arg(own->CameraPath, QString::fromLocal8Bit(e.what())));
    } catch (...) {
        fail(TCameraFailure::Internal, QStringLiteral("%1: unexpected error").arg(own->CameraPath));
    }
    own.reset(); // the stream allows being freed inside its own completion
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
        abandonWaited();
        LastError = QStringLiteral("cancelled");
        LastFailure = TCameraFailure::Cancelled;
        return;
    }
    // A background transfer ends through its completion, which reports the failure.
    m_transfer->Stream->abort();
}
