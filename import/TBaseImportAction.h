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
    QString LastError; // says what LastFailure, which callers decide on, means here
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
    // GET url through the request frame; on 200 the body goes to take before OnDone. Sets
    // ResponseCode, LastError and LastFailure. A disabled action sends nothing and returns true.
    bool runImportRequest(const QString& url, int readTimeoutMs, bool logBody,
        const std::function<void(QByteArray& body)>& take);
};
