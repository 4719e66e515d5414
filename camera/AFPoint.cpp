#include "camera/AFPoint.h"

#include "camera/TCGIFunction.h"
#include "camera/TXMLLib.h"

#include <QRegularExpression>

#include <algorithm>

namespace AFPoint {

QString Format(int x, int y)
{
    // Coordinates are unsigned 16-bit on the camera; a point left of or above the picture must not
    // wrap round to the far edge.
    const int cx = std::clamp(x, 0, 65535);
    const int cy = std::clamp(y, 0, 65535);
    return QStringLiteral("%1x%2").arg(cx, 4, 10, QLatin1Char('0')).arg(cy, 4, 10, QLatin1Char('0'));
}

QPoint Parse(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^([0-9]*)x([0-9]*)$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(text.trimmed().toLower());
    if (!match.hasMatch())
        return {};
    // An empty or overlong number reads as 0 on its own.
    const int x = match.captured(1).toInt();
    const int y = match.captured(2).toInt();
    return QPoint(x, y);
}

QSize ParseSize(const QString& text)
{
    const QPoint pair = Parse(text);
    return QSize(pair.x(), pair.y());
}

QList<QPair<QString, QString>> ResponseItems(const TXMLLib& document)
{
    QList<QPair<QString, QString>> items;
    const TXMLNode* root = document.Root();
    if (!root || root->Name().trimmed().compare(QLatin1String("response"), Qt::CaseInsensitive) != 0)
        return items;
    for (const TXMLNode* child : root->Children())
        items.append({ child->Name().trimmed().toLower(), child->Value().Text.trimmed() });
    return items;
}

const TCGIParamValue* FindCom(const TCGIFunction& function, const QString& value)
{
    const TCGIParam* com = function.Methods.FindParam(THTTPMethod::Kind::Get, QStringLiteral("com"));
    return com ? com->Values.Find(value) : nullptr;
}

bool ComHasKey(const TCGIParamValue* value, const QString& key)
{
    return value && value->Params.Find(key);
}

bool ComKeyListsAll(const TCGIFunction& function, const QString& value, const QString& key,
    std::span<const char* const> names)
{
    const TCGIParamValue* com = FindCom(function, value);
    const TCGIParam* param = com ? com->Params.Find(key) : nullptr;
    return param && std::all_of(names.begin(), names.end(), [param](const char* name) {
        return param->Values.Find(QString::fromLatin1(name)) != nullptr;
    });
}

} // namespace AFPoint
