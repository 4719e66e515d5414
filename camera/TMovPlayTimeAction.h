#pragma once

#include "camera/TBackgroundExchange.h"
#include "camera/TBaseInfoAction.h"

#include <functional>

// The play time of a movie on the card ("get_movplaytime.cgi?DIR=/DCIM/...").
class TMovPlayTimeAction : public TBaseInfoAction
{
public:
    explicit TMovPlayTimeAction(TCameraLink link, const QString& cgiName = QStringLiteral("get_movplaytime"));

    bool ParseResult(QString& text) override;
    bool Probe(const TCGIFunction& function) override;
    // Needs a file: sends nothing and returns false.
    bool Execute(QString& text) override;
    // path below "/DCIM", starting with "/" ("/100OLYMP/P1010001.MOV"). A whole number of seconds
    // comes back as "hh:nn:ss" (whole days dropped); any other answer text as the camera sent it.
    bool Execute(const QString& path, QString& text);
    // The same in the background: returns at once, done follows from the event loop; Busy meanwhile.
    // False without a done call when disabled, busy, the path is refused or the request cannot start.
    bool Start(const QString& path, std::function<void(bool success, const QString& text)> done);
    // Ends a background request without a done call.
    void Abandon();
    // Also ends a background request; its caller hears of it as failed.
    void Reset() override;

    // "hh:nn:ss" for a whole number of seconds; anything else unchanged.
    static QString PlayTimeText(const QString& answer);
    // The query value for a path below "/DCIM"; empty when the path is not one (no leading "/",
    // a ".." segment, control characters).
    static QString DirValue(const QString& path);

private:
    TBackgroundExchange m_background;
    std::function<void(bool, const QString&)> m_done;
};
