#pragma once

#include "camera/TCGIFunction.h"
#include "camera/TCameraLink.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class TXMLNode;

// The camera's command list ("get_commandlist.cgi"): protocol version, supported
// function groups and, per CGI program, the methods with the query keys and values
// they accept. Request actions enable themselves by looking things up here.
class TOIShare
{
public:
    QString Version;
    // "func" of each "support" element in document order, duplicates kept.
    QStringList SupportedFunctions;
    TCGIFunctions Functions;

    // Fills the model from an "oishare" element. False when the element is missing or
    // misnamed, or reading failed; callers then discard the model. Never throws.
    bool Parse(const TXMLNode* root) noexcept;
    // Loads the XML, checks the document element and parses it. Never throws.
    bool LoadFromBytes(const QByteArray& body) noexcept;
    void Clear();
    // Without regard to case.
    bool SupportsFunction(const QString& func) const;

    // Why the last Load failed (NoAnswer, Status, Unreadable, Internal), the camera's status code
    // (-1: none) and the transport's reason, for callers that say so.
    TCameraFailure LastFailure = TCameraFailure::None;
    int ResponseCode = -1;
    QString LastError;

    // Requests "get_commandlist.cgi" through the link and loads the answer. False on any
    // failure (no answer, other status, unreadable document); the model is then empty.
    // Never throws.
    bool Load(const TCameraLink& link) noexcept;
    // The same over HTTP to a camera host.
    bool Load(const QString& cameraHost) noexcept;

private:
    void readFunction(const TXMLNode* element);
};
