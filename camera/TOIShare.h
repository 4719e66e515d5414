#pragma once

#include "camera/TCGIFunction.h"

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

    // ---- Network read of the command list ----------------------------------------
    // Reserved for `bool Load(const QString& cameraHost)`, which requests
    // "http://%s/get_commandlist.cgi" through the HTTP client and hands the body to
    // LoadFromBytes. Not declared here yet: it comes with the HTTP layer.
    // -------------------------------------------------------------------------------

private:
    void readFunction(const TXMLNode* element);
};
