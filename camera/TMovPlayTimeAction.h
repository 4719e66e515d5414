#pragma once

#include "camera/TBaseInfoAction.h"

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

    // "hh:nn:ss" for a whole number of seconds; anything else unchanged.
    static QString PlayTimeText(const QString& answer);
    // The query value for a path below "/DCIM"; empty when the path is not one (no leading "/",
    // a ".." segment, control characters).
    static QString DirValue(const QString& path);
};
