#include "sim/SimProfile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamReader>

namespace camsim {

namespace {

const QString kRoot = QStringLiteral(":/camsim/profiles/");

bool readResource(const QString& relative, std::string* out)
{
    QFile file(kRoot + relative);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    out->assign(bytes.constData(), size_t(bytes.size()));
    return true;
}

std::vector<std::string> toStrings(const QJsonValue& value)
{
    std::vector<std::string> out;
    for (const QJsonValue& v : value.toArray())
        out.push_back(v.toString().toStdString());
    return out;
}

std::vector<std::string> splitBlanks(const std::string& text)
{
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t end = text.find(' ', pos);
        const std::string part = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        if (!part.empty())
            out.push_back(part);
        if (end == std::string::npos)
            break;
        pos = end + 1;
    }
    return out;
}

bool fail(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
    return false;
}

bool readFiles(SimProfile& p, const QJsonObject& json, std::string* error)
{
    std::string desclist;
    if (!readResource(json.value("commandList").toString(), &p.commandListBytes))
        return fail(error, "profile " + p.name + ": command list missing");
    if (!p.commands.parse(p.commandListBytes))
        return fail(error, "profile " + p.name + ": command list does not parse");
    if (!readResource(json.value("desclist").toString(), &desclist))
        return fail(error, "profile " + p.name + ": desclist missing");
    p.properties = parseDesclist(desclist);
    if (p.properties.empty())
        return fail(error, "profile " + p.name + ": desclist has no properties");
    if (!readResource(json.value("funcidList").toString(), &p.funcidList))
        return fail(error, "profile " + p.name + ": funcidlist missing");
    if (json.contains("dcimRootPage")
        && (!readResource(json.value("dcimRootPage").toString(), &p.dcimRootPage)
            || !readResource(json.value("dcimFolderPage").toString(), &p.dcimFolderPage)))
        return fail(error, "profile " + p.name + ": /DCIM page templates missing");
    return true;
}

} // namespace

std::vector<SimPropertyData> parseDesclist(const std::string& bytes)
{
    std::vector<SimPropertyData> out;
    QXmlStreamReader xml(QByteArray(bytes.data(), qsizetype(bytes.size())));
    if (!xml.readNextStartElement())
        return out;
    while (xml.readNextStartElement()) {
        if (xml.name() != u"desc") {
            xml.skipCurrentElement();
            continue;
        }
        SimPropertyData prop;
        while (xml.readNextStartElement()) {
            const QString tag = xml.name().toString();
            const std::string text = xml.readElementText().toStdString();
            if (tag == u"propname") {
                prop.name = text;
            } else if (tag == u"attribute") {
                prop.attribute = text;
            } else if (tag == u"value") {
                prop.value = text;
            } else if (tag == u"enum") {
                prop.enumValues = splitBlanks(text);
                prop.hasEnum = true;
            }
        }
        out.push_back(std::move(prop));
    }
    if (xml.hasError())
        out.clear();
    return out;
}

std::optional<SimProfile> SimProfile::load(const std::string& name, std::string* error)
{
    SimProfile p;
    p.name = name;
    std::string jsonBytes;
    if (name.empty() || name == "common"
        || !readResource(QString::fromStdString(name) + "/profile.json", &jsonBytes)) {
        fail(error, "unknown profile " + name);
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(jsonBytes), &parseError);
    if (!doc.isObject()) {
        fail(error, "profile " + name + ": " + parseError.errorString().toStdString());
        return std::nullopt;
    }
    const QJsonObject json = doc.object();
    if (!readFiles(p, json, error))
        return std::nullopt;
    p.model = json.value("model").toString().toStdString();
    p.make = json.value("make").toString().toStdString();
    p.quality = json.value("quality").toString().toStdString();
    p.listsInRec = json.value("listsInRec").toBool(false);
    p.caminfo = json.value("caminfo").toString().toStdString();
    p.errorBodyFormat = json.value("errorBody").toString().toStdString();
    const QJsonObject quirks = json.value("descPropnameQuirks").toObject();
    for (auto it = quirks.begin(); it != quirks.end(); ++it)
        p.descPropnameQuirks[it.key().toStdString()] = it.value().toString().toStdString();
    const QJsonObject enums = json.value("baseEnums").toObject();
    for (auto it = enums.begin(); it != enums.end(); ++it)
        p.baseEnums[it.key().toStdString()] = splitBlanks(it.value().toString().toStdString());
    for (const QJsonValue& v : json.value("rules").toArray()) {
        const QJsonObject r = v.toObject();
        SimPropertyRule rule;
        rule.property = r.value("property").toString().toStdString();
        rule.settableIn = toStrings(r.value("settableIn"));
        rule.exclude = toStrings(r.value("exclude"));
        rule.upTo = r.value("upTo").toString().toStdString();
        const QJsonObject when = r.value("when").toObject();
        for (auto it = when.begin(); it != when.end(); ++it)
            rule.when[it.key().toStdString()] = toStrings(it.value());
        p.rules.push_back(std::move(rule));
    }
    const QJsonObject lens = json.value("lens").toObject();
    p.focalMin = lens.value("focalMin").toInt(p.focalMin);
    p.focalMax = lens.value("focalMax").toInt(p.focalMax);
    p.apertureWide10 = lens.value("apertureWide10").toInt(p.apertureWide10);
    p.apertureSmallest10 = lens.value("apertureSmallest10").toInt(p.apertureSmallest10);
    return p;
}

std::vector<std::string> SimProfile::names()
{
    std::vector<std::string> out;
    const QStringList dirs = QDir(kRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& dir : dirs) {
        if (QFile::exists(kRoot + dir + "/profile.json"))
            out.push_back(dir.toStdString());
    }
    return out;
}

std::vector<std::string> SimProfile::recSizes() const
{
    return commands.values("switch_cammode", { "mode", "rec", "lvqty" });
}

std::vector<std::string> SimProfile::shutterSizes() const
{
    return commands.values("switch_cammode", { "mode", "shutter", "lvqty" });
}

bool SimProfile::hasMode(const std::string& mode) const
{
    for (const std::string& m : commands.values("switch_cammode", { "mode" })) {
        if (m == mode)
            return true;
    }
    return false;
}

std::string SimProfile::errorBody(int code) const
{
    std::string body = errorBodyFormat;
    const size_t at = body.find("%1");
    if (at != std::string::npos)
        body.replace(at, 2, std::to_string(code));
    return body;
}

} // namespace camsim
