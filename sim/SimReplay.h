#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>

namespace camsim {

class SimHttpServer;

// A camera made from a camera-answer dump: every request the dump holds gets the answer the camera
// gave (status and body), each property's desc comes from the property list, mode switches are
// accepted, and a started live view sends the dumped
// picture's datagrams again and again, numbered on as a camera would. Anything else answers 404.
class SimReplay
{
public:
    SimReplay();
    ~SimReplay();
    SimReplay(const SimReplay&) = delete;
    SimReplay& operator=(const SimReplay&) = delete;

    // False with one line in errorText() when the archive is not a complete dump.
    bool load(const QByteArray& archive);
    std::string errorText() const { return m_error; }
    std::string program() const { return m_program; }

    // Returns the bound port, 0 on failure.
    uint16_t start(uint16_t port = 0, const std::string& bindAddress = "127.0.0.1");
    void stop();
    uint16_t port() const { return m_port; }
    bool liveViewRunning() const;

    void setRequestLog(std::function<void(const std::string&)> log) { m_requestLog = std::move(log); }
    // The request key: the path without regard to case and the query's pairs in order of name.
    static std::string Key(const std::string& path, const std::multimap<std::string, std::string>& params);

private:
    struct Answer
    {
        int status = 404;
        std::string body;
        std::string contentType;
    };
    struct Stream;

    std::map<std::string, Answer> m_answers;
    std::map<std::string, std::string> m_descs; // property name -> its desc answer
    Answer m_liveViewStart;
    QList<QByteArray> m_datagrams;
    std::unique_ptr<Stream> m_stream;
    std::unique_ptr<SimHttpServer> m_http;
    std::thread m_thread;
    uint16_t m_port = 0;
    std::string m_error;
    std::string m_program;
    std::function<void(const std::string&)> m_requestLog;
};

} // namespace camsim
