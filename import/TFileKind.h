#pragma once

#include <QString>
#include <QStringList>

class TBaseCameraImportItems;

// The kinds of files a camera writes, told by the extension (case ignored): pictures (JPG), raw
// files (ORF), movies (MOV), and the type filters over them (lists of extensions, "JPG,ORF").
class TFileKind
{
public:
    enum Kind { Jpeg, Raw, Movie, Other };

    // Upper case, without the dot; empty for a name without one.
    static QString Extension(const QString& fileName);
    static Kind Of(const QString& fileName);
    static bool IsJpeg(const QString& fileName) { return Of(fileName) == Jpeg; }
    // Some file of the list has the extension ("JPG").
    static bool AnyHas(const TBaseCameraImportItems& files, const QString& extension);

    // "jpg, .ORF" → JPG, ORF; blanks and empty parts dropped.
    static QStringList ParseTypes(const QString& text);
    static QStringList NormalizeTypes(const QStringList& types);
    // An empty filter takes every file.
    static bool Accepts(const QStringList& types, const QString& fileName);
    // The filter of the live import's "Auswahl" items: 0 "Alle", 1 "JPEG", 2 "RAW", 3 "Movies",
    // 4 "JPEG + RAW", 5 "JPEG + Movies", 6 "RAW + Movies"; any other: every file.
    static QStringList SelectionTypes(int item);
};
