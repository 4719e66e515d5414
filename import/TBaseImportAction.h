#pragma once

#include "camera/TBaseAction.h"
#include "import/TCameraImportItems.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

class TCGIFunction;

// Base of the actions that read the card: listings, folder pages, thumbnails and files.
class TBaseImportAction : public TBaseAction
{
public:
    TBaseImportAction(const QString& cgiName, TCameraLink link);

    QString CGIName; // as named in the command list; empty for requests it does not list
    bool Enabled = false;
    TCameraImportItems Items; // parsed files
    QStringList Folders; // parsed folder names
    QStringList Lines; // the last answer, one element per line
    QByteArray Data; // the last answer's bytes (thumbnails)
    // Status of the last request (-1: no answer) and why it failed, for messages such as "the folder
    // is empty" (the camera answers 404 then).
    int ResponseCode = -1;
    QString LastError;
    TCameraFailure LastFailure = TCameraFailure::None; // what callers decide on; LastError says it
    std::function<void(TBaseImportAction* sender, bool success)> OnDone;

    // Not busy, disabled, lists and data emptied.
    void Reset() override;
    // Decides Enabled from the command list entry (nullptr for actions probed without one); true
    // unless an error occurred.
    virtual bool Probe(const TCGIFunction* description) = 0;
    // The request without arguments; the actions that need a folder or path offer their own.
    virtual bool Execute();

    // CR, LF and CR LF end a line; a final line without an end counts, an empty tail does not.
    static QStringList SplitLines(const QString& text);
    // A GET method with the key "DIR".
    static bool HasGetWithDir(const TCGIFunction* description);

protected:
    // GET url into Lines; true on 200. A disabled action sends nothing and returns true.
    bool runListRequest(const QString& url);
    bool sendRequest(const QString& url, int readTimeoutMs, bool logBody, QByteArray& body);
    void setClassName(const QString& name) { m_className = name; }
    QString className() const { return m_className; }

private:
    QString m_className = QStringLiteral("TBaseImportAction");
};
