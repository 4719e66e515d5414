#include "sim/SimReplay.h"

#include "sim/SimDumpArchive.h"
#include "sim/SimHttpServer.h"
#include "sim/SimStreamThread.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>

namespace camsim {

namespace {
constexpr int kDumpFormatVersion = 1;
constexpr auto kPicturePeriod = std::chrono::milliseconds(100);

std::string lower(std::string text)
{
    std::transform(
        text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::string contentTypeOf(const QString& entry)
{
    if (entry.endsWith(QLatin1String(".xml")))
        return "text/xml";
    if (entry.endsWith(QLatin1String(".html")))
        return "text/html";
    if (entry.endsWith(QLatin1String(".jpg")))
        return "image/jpeg";
    return "text/plain";
}

// The key of a request as the dump wrote it: "/path?name=value&...", values already decoded.
std::string keyOfRecorded(const QString& request)
{
    const QUrl url(QStringLiteral("http://camera") + request);
    std::multimap<std::string, std::string> params;
    for (const auto& [name, value] : QUrlQuery(url.query()).queryItems(QUrl::FullyDecoded))
        params.emplace(name.toStdString(), value.toStdString());
    return SimReplay::Key(url.path(QUrl::FullyDecoded).toStdString(), params);
}
// A camera answers desc of one property with that property's element of its desclist.
void addPropertyDescs(const std::string& desclist, std::map<std::string, std::string>& descs)
{
    static const QRegularExpression element(QStringLiteral("<desc>.*?</desc>"),
        QRegularExpression::DotMatchesEverythingOption | QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression name(
        QStringLiteral("<propname>\\s*([^<]*?)\\s*</propname>"), QRegularExpression::CaseInsensitiveOption);
    const QString text = QString::fromStdString(desclist);
    for (auto it = element.globalMatch(text); it.hasNext();) {
        const QString desc = it.next().captured(0);
        const QString property = name.match(desc).captured(1);
        if (!property.isEmpty())
            descs.emplace(lower(property.toStdString()), "<?xml version=\"1.0\"?>\n" + desc.toStdString());
    }
}
} // namespace

// The dumped picture sent again and again until stopped, with sequence numbers and timestamps
// running on, so a receiver sees a live stream rather than one picture repeated as stale.
struct SimReplay::Stream
{
    SimStreamThread sender;

    void stop() { sender.stop(); }

    void start(const std::string& host, uint16_t port, QList<QByteArray> datagrams)
    {
        std::lock_guard guard(sender.control);
        sender.stopLocked();
        sockaddr_in to {};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        if (datagrams.isEmpty() || inet_pton(AF_INET, host.c_str(), &to.sin_addr) != 1)
            return;
        sender.run([this, to, datagrams = std::move(datagrams)]() mutable {
            const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
            if (fd < 0) {
                sender.running = false;
                return;
            }
            for (quint32 round = 0;; ++round) {
                const quint16 count = quint16(datagrams.size());
                for (QByteArray d : datagrams) {
                    if (d.size() >= 8) {
                        const quint16 sequence
                            = quint16(((quint8(d[2]) << 8) | quint8(d[3])) + round * count);
                        const quint32 stamp = ((quint32(quint8(d[4])) << 24) | (quint32(quint8(d[5])) << 16)
                                                  | (quint32(quint8(d[6])) << 8) | quint32(quint8(d[7])))
                            + round;
                        d[2] = char(sequence >> 8);
                        d[3] = char(sequence);
                        for (int i = 0; i < 4; ++i)
                            d[4 + i] = char(stamp >> (24 - 8 * i));
                    }
                    ::sendto(fd, d.constData(), size_t(d.size()), 0, reinterpret_cast<const sockaddr*>(&to),
                        sizeof to);
                }
                if (!sender.sleepUntil(std::chrono::steady_clock::now() + kPicturePeriod))
                    break;
            }
            ::close(fd);
        });
    }
};

SimReplay::SimReplay()
    : m_stream(std::make_unique<Stream>())
{ }

SimReplay::~SimReplay()
{
    stop();
}

std::string SimReplay::Key(const std::string& path, const std::multimap<std::string, std::string>& params)
{
    std::string key = lower(path);
    char separator = '?';
    for (const auto& [name, value] : params) {
        key += separator + lower(name) + '=' + value;
        separator = '&';
    }
    return key;
}

bool SimReplay::load(const QByteArray& archive)
{
    m_answers.clear();
    m_descs.clear();
    m_datagrams.clear();
    SimDumpArchive zip;
    if (!zip.read(archive)) {
        m_error = zip.error().toStdString();
        return false;
    }
    QJsonParseError parseError {};
    const QJsonObject index
        = QJsonDocument::fromJson(zip.entry(QStringLiteral("index.json")), &parseError).object();
    if (!zip.contains(QStringLiteral("index.json")) || parseError.error != QJsonParseError::NoError
        || index.value(QStringLiteral("format")).toString() != QLatin1String("lumivar-camera-dump")) {
        m_error = "the zip is not a camera-answer dump (no readable index.json)";
        return false;
    }
    if (index.value(QStringLiteral("version")).toInt() != kDumpFormatVersion) {
        m_error = "the dump's format version is not one this simulator reads";
        return false;
    }
    m_program = index.value(QStringLiteral("program")).toString().toStdString();
    const auto bodyOf = [&zip](const QJsonObject& record, Answer& answer) {
        const QString entry = record.value(QStringLiteral("body")).toString();
        if (entry.isEmpty())
            return true;
        if (!zip.contains(entry))
            return false;
        answer.body = zip.entry(entry).toStdString();
        answer.contentType = contentTypeOf(entry);
        return true;
    };
    for (const QJsonValue& value : index.value(QStringLiteral("answers")).toArray()) {
        const QJsonObject record = value.toObject();
        const QString request = record.value(QStringLiteral("request")).toString();
        Answer answer;
        answer.status = record.value(QStringLiteral("status")).toInt(-1);
        if (!request.startsWith(u'/') || !bodyOf(record, answer)) {
            m_error = "the dump's index names an answer the zip does not hold";
            return false;
        }
        if (answer.status >= 100) // no answer at all stays unanswered here: 404
            m_answers[keyOfRecorded(request)] = std::move(answer);
    }
    if (const auto list = m_answers.find("/get_camprop.cgi?com=desc&propname=desclist");
        list != m_answers.end() && list->second.status == 200)
        addPropertyDescs(list->second.body, m_descs);
    const QJsonObject liveView = index.value(QStringLiteral("liveview")).toObject();
    m_liveViewStart = {};
    m_liveViewStart.status = liveView.value(QStringLiteral("status")).toInt(404);
    if (m_liveViewStart.status < 100)
        m_liveViewStart.status = 404;
    if (!bodyOf(liveView, m_liveViewStart)) {
        m_error = "the dump's index names an answer the zip does not hold";
        return false;
    }
    for (const QJsonValue& name : liveView.value(QStringLiteral("datagrams")).toArray()) {
        if (!zip.contains(name.toString())) {
            m_error = "the dump's index names a datagram the zip does not hold";
            return false;
        }
        m_datagrams.append(zip.entry(name.toString()));
    }
    return true;
}

bool SimReplay::liveViewRunning() const
{
    return m_stream->sender.running;
}

uint16_t SimReplay::start(uint16_t port, const std::string& bindAddress)
{
    if (m_http)
        return m_port;
    m_http = std::make_unique<SimHttpServer>();
    m_http->set_keep_alive_max_count(1);
    m_http->set_read_timeout(5, 0);
    m_http->set_write_timeout(10, 0);
    m_http->setRequestLogger(
        [this](const httplib::Request& req, const httplib::Response& res, uint64_t sent) {
            if (m_requestLog)
                m_requestLog(req.remote_addr + " " + req.method + " "
                    + (req.target.empty() ? req.path : req.target) + " " + std::to_string(res.status) + " "
                    + std::to_string(sent));
        });
    m_http->Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
        std::multimap<std::string, std::string> params(req.params.begin(), req.params.end());
        const std::string path = lower(req.path);
        const std::string com = lower(req.get_param_value("com"));
        const Answer* answer = nullptr;
        Answer accepted { 200, {}, "text/plain" };
        Answer descAnswer;
        if (path == "/exec_takemisc.cgi" && com == "startliveview") {
            const int port = std::atoi(req.get_param_value("port").c_str());
            answer = &m_liveViewStart;
            if (answer->status == 200 && port > 0 && port < 65536)
                m_stream->start(req.remote_addr, uint16_t(port), m_datagrams);
        } else if (path == "/exec_takemisc.cgi" && com == "stopliveview") {
            m_stream->stop();
            answer = &accepted;
        } else if (const auto it = m_answers.find(Key(req.path, params)); it != m_answers.end()) {
            answer = &it->second;
        } else if (const auto desc = m_descs.find(lower(req.get_param_value("propname")));
                   path == "/get_camprop.cgi" && com == "desc" && desc != m_descs.end()) {
            descAnswer = { 200, desc->second, "text/xml" };
            answer = &descAnswer;
        } else if (path == "/switch_cammode.cgi") {
            answer = &accepted; // the dump holds one switch; every mode is taken as the camera took it
        }
        if (!answer) {
            res.status = 404;
            return;
        }
        res.status = answer->status;
        if (!answer->body.empty())
            res.set_content(answer->body, answer->contentType);
    });
    const uint16_t bound = m_http->listenInBackground(bindAddress, port, m_thread, m_error);
    if (bound == 0) {
        m_http.reset();
        return 0;
    }
    m_port = bound;
    return m_port;
}

void SimReplay::stop()
{
    m_stream->stop();
    if (!m_http)
        return;
    m_http->stopListening(m_thread);
    m_http.reset();
}

} // namespace camsim
