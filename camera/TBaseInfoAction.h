#pragma once

#include "camera/TBaseAction.h"
#include "camera/TXMLLib.h"

#include <QString>

#include <functional>

class TCGIFunction;

// Base of the actions that read one piece of information: GET a CGI program, parse its XML answer,
// hand back one text.
class TBaseInfoAction : public TBaseAction
{
public:
    TBaseInfoAction(const QString& cgiName, TCameraLink link);

    QString CGIName; // without ".cgi"
    bool Enabled = false;
    TXMLLib Document; // the last parsed answer
    std::function<void(TBaseInfoAction* sender, bool success)> OnDone;

    // Disabled, document cleared.
    void Reset() override;
    // The result text from Document; false when the answer is not the expected one.
    virtual bool ParseResult(QString& text) = 0;
    // Sets Enabled from the command list entry of CGIName; false only on an error.
    virtual bool Probe(const TCGIFunction& function) = 0;
    // A disabled action sends nothing and returns true with an empty text.
    virtual bool Execute(QString& text) = 0;

protected:
    // Enabled when a GET method exists, with or without keys.
    bool probeGet(const TCGIFunction& function);
    // The information request: GET url, on 200 load the answer and parse it.
    bool executeRequest(const QString& url, QString& text);
    // The document element's own text when it is named element (without regard to case).
    bool parseElementText(const QString& element, QString& text);
};
