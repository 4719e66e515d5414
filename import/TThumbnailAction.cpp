#include "import/TThumbnailAction.h"

#include "camera/CameraEndpoints.h"

namespace {

// A thumbnail is some kilobytes; anything near this is no thumbnail.
constexpr qint64 kMaxThumbnailBytes = 4 * 1024 * 1024;

} // namespace

TThumbnailAction::TThumbnailAction(TCameraLink link, const QString& cgiName)
    : TBaseImportAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("TThumbnailAction"));
}

void TThumbnailAction::Reset()
{
    const bool running = m_background.isRunning();
    m_background.drop();
    std::function<void(bool)> done = std::move(m_done);
    m_done = nullptr;
    TBaseImportAction::Reset();
    if (running) {
        LastFailure = TCameraFailure::Reset;
        LastError = QStringLiteral("reset while waiting");
        if (done)
            done(false);
    }
}

bool TThumbnailAction::Probe(const TCGIFunction* description)
{
    Reset();
    Enabled = HasGetWithDir(description);
    return true;
}

QString TThumbnailAction::urlOf(const QString& cameraPath) const
{
    return Link.url(Endpoint::Thumbnail) + QStringLiteral("?DIR=/DCIM") + cameraPath;
}

bool TThumbnailAction::Execute(const QString& cameraPath)
{
    if (m_background.isRunning()) {
        LastFailure = TCameraFailure::Busy;
        LastError = QStringLiteral("a thumbnail is being fetched");
        return false;
    }
    Data.clear();
    Lines.clear();
    return runImportRequest(urlOf(cameraPath), Timeout::Thumbnail, Timeout::LogBodyThumbnail,
        [this](QByteArray& body) { Data = std::move(body); });
}

bool TThumbnailAction::Start(const QString& cameraPath, std::function<void(bool success)> done)
{
    if (!Enabled || Busy)
        return false;
    Data.clear();
    Lines.clear();
    LastError.clear();
    ResponseCode = -1;
    LastFailure = TCameraFailure::None;
    TCameraStreamRequest request;
    request.Url = urlOf(cameraPath);
    request.ReadTimeoutMs = Timeout::Thumbnail;
    request.LogBody = Timeout::LogBodyThumbnail;
    request.MaxBodySize = kMaxThumbnailBytes;
    QString why;
    m_done = std::move(done);
    Busy = true;
    const bool started = m_background.start(
        Link, request,
        [this](const TCameraAnswer& answer, QByteArray& body) {
            Busy = false;
            ResponseCode = answer.Code;
            bool ok = false;
            if (!answer.Completed) {
                LastError = answer.Error;
                LastFailure
                    = answer.Failure == TCameraFailure::None ? TCameraFailure::NoAnswer : answer.Failure;
                logError(QStringLiteral("TThumbnailAction.Start: %1").arg(LastError));
            } else if (answer.Code != 200) {
                LastError = QStringLiteral("the camera answered %1").arg(answer.Code);
                LastFailure = TCameraFailure::Status;
            } else {
                Data = std::move(body);
                ok = true;
            }
            std::function<void(bool)> finished = std::move(m_done);
            m_done = nullptr;
            if (OnDone)
                OnDone(this, ok);
            if (finished)
                finished(ok);
        },
        why);
    if (!started) {
        Busy = false;
        m_done = nullptr;
        LastError = why;
        LastFailure = TCameraFailure::NoAnswer;
        logError(QStringLiteral("TThumbnailAction.Start: %1").arg(why));
        return false;
    }
    return true;
}

void TThumbnailAction::Abandon()
{
    if (!m_background.isRunning())
        return;
    m_background.drop();
    m_done = nullptr;
    Busy = false;
}
