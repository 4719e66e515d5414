#pragma once

#include "camera/TBaseAction.h"
#include "camera/TStringDictionary.h"
#include "camera/TXMLLib.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

class TCGIFunction;

// Base of the actions that make the camera do something (power off, clock, modes, shooting, live
// view). Enabled by a probe of its CGI program in the command list.
class TBaseRemoteAction : public TBaseAction
{
public:
    TBaseRemoteAction(const QString& cgiName, TCameraLink link);

    QString CGIName; // without ".cgi"
    bool Enabled = false;
    TXMLLib Document; // the last answer, when it was XML
    QByteArray Data; // the last answer's raw bytes
    // Every query key found anywhere in the CGI program's command tree (CollectCommands).
    QStringList Commands;
    // Two lists for subclasses; the mode switch keeps its live view sizes and their captions here.
    QStringList Values;
    QStringList Texts;
    // For "switch_cammode": live view size captions to protocol sizes ("640 x 480" to "0640x0480").
    TStringDictionary Dictionary;
    std::function<void(TBaseRemoteAction* sender, bool success)> OnDone;

    // Disabled; lists, document and data emptied.
    void Reset() override;
    // Sets Enabled from the command list entry of CGIName; false only on an error.
    virtual bool Probe(const TCGIFunction& function) = 0;
    virtual bool Execute() = 0;

    // Fills Commands with each key name once, in the order met, through every method and to any
    // depth below the values.
    void CollectCommands(const TCGIFunction& function);

protected:
    // GET url; success is status 200, or 202 as well when accepted is set. A successful answer is
    // kept in Data and, when it reads as XML, in Document.
    bool executeRequest(const QString& url, int readTimeoutMs, bool accept202);
    // The completion of a frame: OnDone with this action as sender.
    std::function<void(bool success)> reportDone();
};
