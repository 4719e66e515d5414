#pragma once

#include <QList>
#include <QPair>
#include <QPoint>
#include <QSize>
#include <QString>

#include <span>

class TCGIFunction;
class TCGIParamValue;
class TXMLLib;

// What the focus, take and shutter actions share: the point format of their URLs, the point texts
// of their answers and the command-list lookup of their "com" values.
namespace AFPoint {

// "0320x0240": each coordinate held to 0..65535 and written with at least four digits.
QString Format(int x, int y);
// A point text of the take-motion answers ("0412x0346", a capital X too); (0, 0) when it does not
// read as two numbers joined by "x".
QPoint Parse(const QString& text);
QSize ParseSize(const QString& text);

// The children of a "response" document element in document order: name in lower case and trimmed
// text. Empty for any other document.
QList<QPair<QString, QString>> ResponseItems(const TXMLLib& document);

// The value of the first GET method's "com" key with that name; nullptr when the camera lacks it.
const TCGIParamValue* FindCom(const TCGIFunction& function, const QString& value);
// The value carries the further key (such as "point" after "takeready").
bool ComHasKey(const TCGIParamValue* value, const QString& key);
// The "com" value exists and its key lists every one of names (zoom moves, macro focus steps).
bool ComKeyListsAll(const TCGIFunction& function, const QString& value, const QString& key,
    std::span<const char* const> names);

} // namespace AFPoint
