#include "camera/TCameraDump.h"

#include "LumivarVersion.h"
#include "base/TStoredZip.h"
#include "camera/ImgListLines.h"
#include "camera/TLiveViewSampler.h"
#include "camera/TOIShare.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {
constexpr int kSteps = 13; // exchanges, for the progress share

bool startsWith(const QByteArray& body, const char* text)
{
    return body.trimmed().startsWith(text);
}

bool holds(const QByteArray& body, const char* element)
{
    return body.contains(element) || body.toLower().contains(QByteArray(element).toLower());
}
} // namespace

struct TCameraDump::Run
{
    zip::TZipWriter zip;
    QJsonArray answers;
    QStringList failures;
    int step = 0;
};

TCameraDump::TCameraDump(TCameraLink link, quint16 liveViewPort)
    : m_link(std::move(link))
    , m_liveViewPort(liveViewPort)
{ }

TCameraAnswer TCameraDump::keep(Run& run, const QString& what, const QString& pathAndQuery,
    const QString& entry, int timeoutMs, const std::function<bool(const QByteArray&)>& looksRight,
    bool required) const
{
    if (m_progress)
        m_progress(what, run.step * 100 / kSteps);
    ++run.step;
    TCameraRequest request;
    request.Url = QStringLiteral("http://%1%2").arg(m_link.host(), pathAndQuery);
    request.ReadTimeoutMs = timeoutMs;
    request.LogBody = false;
    request.IsAborted = m_isAborted;
    const TCameraAnswer answer = m_link.send(request);
    QJsonObject record { { QStringLiteral("request"), pathAndQuery },
        { QStringLiteral("status"), answer.Code } };
    if (!answer.Completed) {
        record.insert(QStringLiteral("error"), answer.Error);
        run.failures << QStringLiteral("%1: no answer (%2)").arg(what, answer.Error);
    } else {
        if (!entry.isEmpty() && run.zip.add(entry, answer.Body))
            record.insert(QStringLiteral("body"), entry);
        if (answer.Code != 200 && required)
            run.failures << QStringLiteral("%1: status %2").arg(what).arg(answer.Code);
        else if (looksRight && !looksRight(answer.Body))
            run.failures << QStringLiteral("%1: unreadable answer").arg(what);
    }
    run.answers.append(record);
    return answer;
}

TCameraDump::Result TCameraDump::run() const
{
    Run run;
    const auto aborted = [this] { return m_isAborted && m_isAborted(); };

    const TCameraAnswer list
        = keep(run, QStringLiteral("command list"), QStringLiteral("/get_commandlist.cgi"),
            QStringLiteral("answers/commandlist.xml"), 10000, [](const QByteArray& body) {
                TOIShare parsed;
                return parsed.LoadFromBytes(body);
            });
    if (!list.Completed) {
        Result nothing;
        nothing.Failures = run.failures;
        return nothing;
    }
    TOIShare commandList;
    commandList.LoadFromBytes(list.Body);
    if (!aborted())
        keep(run, QStringLiteral("connect mode"), QStringLiteral("/get_connectmode.cgi"),
            QStringLiteral("answers/connectmode.xml"), 5000,
            [](const QByteArray& body) { return holds(body, "<connectmode>"); });
    if (!aborted())
        keep(run, QStringLiteral("camera information"), QStringLiteral("/get_caminfo.cgi"),
            QStringLiteral("answers/caminfo.xml"), 5000,
            [](const QByteArray& body) { return holds(body, "<caminfo>"); });
    if (!aborted())
        keep(run, QStringLiteral("file count"), QStringLiteral("/get_dcffilenum.cgi"),
            QStringLiteral("answers/dcffilenum.xml"), 5000, {});
    if (!aborted())
        keep(run, QStringLiteral("free space"), QStringLiteral("/get_unusedcapacity.cgi"),
            QStringLiteral("answers/unusedcapacity.xml"), 5000, {});

    // Properties are read in recording mode; the live view sampler returns to play mode, and where
    // it does not get as far, the dump itself does.
    const QString size = TLiveViewSampler::LiveViewSize(commandList);
    bool inRecording = false;
    if (!aborted()) {
        keep(run, QStringLiteral("recording mode"),
            QStringLiteral("/switch_cammode.cgi?mode=rec&lvqty=") + size, {}, 3000, {});
        inRecording = true;
    }
    if (!aborted())
        keep(run, QStringLiteral("property list"),
            QStringLiteral("/get_camprop.cgi?com=desc&propname=desclist"),
            QStringLiteral("answers/desclist.xml"), 10000,
            [](const QByteArray& body) { return holds(body, "<desclist>"); });

    QJsonObject liveView;
    if (!aborted()) {
        if (m_progress)
            m_progress(QStringLiteral("live view"), run.step * 100 / kSteps);
        run.step += 4;
        const TLiveViewSampler::Result sample
            = TLiveViewSampler(m_link, m_liveViewPort)
                  .run(size, TLiveViewSampler::Until::OnePicture, m_liveViewWaitMs, m_isAborted);
        inRecording = sample.BindFailed;
        liveView.insert(QStringLiteral("size"), size);
        liveView.insert(QStringLiteral("status"), sample.StartAnswer.Code);
        if (sample.StartAnswer.Completed
            && run.zip.add(QStringLiteral("liveview/start.xml"), sample.StartAnswer.Body))
            liveView.insert(QStringLiteral("body"), QStringLiteral("liveview/start.xml"));
        QJsonArray datagrams;
        for (qsizetype i = 0; i < sample.Datagrams.size(); ++i) {
            const QString name = QStringLiteral("liveview/%1.rtp").arg(i, 4, 10, QLatin1Char('0'));
            if (run.zip.add(name, sample.Datagrams[i]))
                datagrams.append(name);
        }
        liveView.insert(QStringLiteral("datagrams"), datagrams);
        if (!sample.Started)
            run.failures << QStringLiteral("live view: not started (%1)").arg(sample.Error);
        else if (!sample.Complete && !sample.Aborted)
            run.failures
                << QStringLiteral("live view: no complete picture within %1 ms").arg(m_liveViewWaitMs);
    }

    if (inRecording) {
        TCameraRequest back;
        back.Url = QStringLiteral("http://%1/switch_cammode.cgi?mode=play").arg(m_link.host());
        back.ReadTimeoutMs = 3000;
        m_link.send(back);
    }

    QString folder;
    if (!aborted()) {
        const TCameraAnswer root = keep(run, QStringLiteral("/DCIM listing"),
            QStringLiteral("/get_imglist.cgi?DIR=/DCIM"), QStringLiteral("answers/imglist_dcim.txt"), 20000,
            [](const QByteArray& body) { return startsWith(body, "VER_100"); });
        for (const TImgListLine& line : parseImgListLines(root.Body))
            if (line.IsFolder()) {
                folder = line.Name;
                break;
            }
    }
    QString file;
    if (!aborted() && !folder.isEmpty()) {
        const TCameraAnswer first = keep(run, QStringLiteral("folder listing"),
            QStringLiteral("/get_imglist.cgi?DIR=/DCIM/") + folder,
            QStringLiteral("answers/imglist_folder.txt"), 20000,
            [](const QByteArray& body) { return startsWith(body, "VER_100"); });
        for (const TImgListLine& line : parseImgListLines(first.Body))
            if (!line.IsFolder()) {
                file = line.Name;
                break;
            }
    }
    // Bodies that list their card through get_imglist may have no /DCIM page at all; its answer is
    // kept for the report, whatever it is.
    if (!aborted())
        keep(run, QStringLiteral("/DCIM page"), QStringLiteral("/DCIM"), QStringLiteral("answers/dcim.html"),
            20000, {}, false);
    if (!aborted() && !file.isEmpty())
        keep(run, QStringLiteral("thumbnail"),
            QStringLiteral("/get_thumbnail.cgi?DIR=/DCIM/%1/%2").arg(folder, file),
            QStringLiteral("answers/thumbnail.jpg"), 10000,
            [](const QByteArray& body) { return body.startsWith("\xFF\xD8"); });
    if (aborted())
        run.failures << QStringLiteral("stopped before the end");

    const QString program = QStringLiteral("Lumivar " LUMIVAR_VERSION_TEXT);
    const QJsonObject index { { QStringLiteral("format"), QLatin1String(Format) },
        { QStringLiteral("version"), 1 }, { QStringLiteral("program"), program },
        { QStringLiteral("answers"), run.answers }, { QStringLiteral("liveview"), liveView },
        { QStringLiteral("failures"), QJsonArray::fromStringList(run.failures) } };
    QByteArray readme = program.toUtf8() + " camera-answer dump, written "
        + QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toUtf8()
        + ".\nThe camera's answers as they came, for a bug report; lumivar-camsim --replay serves them.\n";
    for (const QString& failure : run.failures)
        readme += "Failed: " + failure.toUtf8() + '\n';
    run.zip.add(QStringLiteral("README.txt"), readme);
    run.zip.add(QLatin1String(IndexName), QJsonDocument(index).toJson());

    Result result;
    result.Archive = run.zip.archive();
    result.Failures = run.failures;
    if (m_progress)
        m_progress(QStringLiteral("done"), 100);
    return result;
}

bool TCameraDump::WriteArchive(const QString& path, const QByteArray& archive, QString& error)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(archive) != archive.size() || !out.commit()) {
        error = QStringLiteral("cannot write %1: %2").arg(path, out.errorString());
        return false;
    }
    return true;
}
