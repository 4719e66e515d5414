#include "sim/SimCommandList.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

namespace camsim {

namespace {

bool isCommandElement(QStringView name)
{
    return name.startsWith(u"cmd");
}

bool isParamElement(QStringView name)
{
    return name.startsWith(u"param");
}

// Reads the children of the element the reader stands on, up to its end.
std::vector<SimCommandList::Node> readNodes(QXmlStreamReader& xml)
{
    std::vector<SimCommandList::Node> nodes;
    while (xml.readNextStartElement()) {
        const QStringView tag = xml.name();
        if (isCommandElement(tag) || isParamElement(tag)) {
            SimCommandList::Node node;
            node.isCommand = isCommandElement(tag);
            node.name = xml.attributes().value(QLatin1String("name")).toString().toStdString();
            node.children = readNodes(xml);
            nodes.push_back(std::move(node));
        } else {
            xml.skipCurrentElement();
        }
    }
    return nodes;
}

} // namespace

bool SimCommandList::parse(const std::string& bytes)
{
    m_cgis.clear();
    // The text is ASCII; dropping the declaration spares the reader a Shift-JIS codec it may not have.
    QString text = QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    text.remove(QRegularExpression(QStringLiteral("^\\s*<\\?xml[^>]*\\?>")));
    QXmlStreamReader xml(text);
    if (!xml.readNextStartElement() || xml.name() != u"oishare")
        return false;
    while (xml.readNextStartElement()) {
        if (xml.name() != u"cgi") {
            xml.skipCurrentElement();
            continue;
        }
        Cgi cgi;
        cgi.name = xml.attributes().value(QLatin1String("name")).toString().toStdString();
        while (xml.readNextStartElement()) {
            if (xml.name() == u"http_method") {
                cgi.method = xml.attributes().value(QLatin1String("type")).toString().toStdString();
                auto nodes = readNodes(xml);
                cgi.commands.insert(cgi.commands.end(), nodes.begin(), nodes.end());
            } else {
                xml.skipCurrentElement();
            }
        }
        m_cgis[cgi.name] = std::move(cgi);
    }
    return !xml.hasError() && !m_cgis.empty();
}

bool SimCommandList::hasCgi(const std::string& name) const
{
    return m_cgis.count(name) != 0;
}

const SimCommandList::Cgi* SimCommandList::cgi(const std::string& name) const
{
    auto it = m_cgis.find(name);
    return it == m_cgis.end() ? nullptr : &it->second;
}

const std::vector<SimCommandList::Node>* SimCommandList::walk(
    const std::string& cgiName, const std::vector<std::string>& path, const Node** last) const
{
    const Cgi* c = cgi(cgiName);
    if (!c)
        return nullptr;
    const std::vector<Node>* level = &c->commands;
    *last = nullptr;
    for (const std::string& step : path) {
        // Keys and values alternate, but a key may also sit directly under another key
        // (utctime > diff, point > exposuremin), so any child of that name matches.
        const Node* found = nullptr;
        for (const Node& node : *level) {
            if (node.name == step) {
                found = &node;
                break;
            }
        }
        if (!found)
            return nullptr;
        *last = found;
        level = &found->children;
    }
    return level;
}

std::vector<std::string> SimCommandList::values(
    const std::string& cgiName, const std::vector<std::string>& path) const
{
    const Node* last = nullptr;
    const std::vector<Node>* level = walk(cgiName, path, &last);
    std::vector<std::string> out;
    if (!level)
        return out;
    for (const Node& node : *level) {
        if (!node.isCommand && !node.name.empty())
            out.push_back(node.name);
    }
    return out;
}

bool SimCommandList::hasKey(const std::string& cgiName, const std::vector<std::string>& path) const
{
    const Node* last = nullptr;
    return walk(cgiName, path, &last) != nullptr && last && last->isCommand;
}

} // namespace camsim
