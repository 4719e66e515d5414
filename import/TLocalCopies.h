#pragma once

#include <QDateTime>
#include <QString>

class QFileInfo;
class TCameraImportItem;

// The copies of camera files in a folder of the computer. A file there is the camera's file only when
// name and size match, and its time where both sides know it; a different file under the name keeps
// it, and the camera's file takes the first free variant of the name (P8090002_1.JPG, _2, ...). Every
// download is placed by this rule, so no copy ever replaces another file.
class TLocalCopies
{
public:
    // Variants tried before a name counts as exhausted.
    static constexpr int MaxVariants = 9999;

    // size and time as the camera lists them; an invalid time is not compared. A local time counts as
    // known only when it is a whole second, as camera times (and the times we give our copies) are;
    // a copier that stamped the copy with its own moment leaves name and size to decide. Times apart
    // by whole quarter hours are one moment seen from another time zone.
    static bool IsSameFile(const QFileInfo& local, qint64 size, const QDateTime& cameraTime);
    // The name with "_n" before its extension; n = 0 gives the name itself.
    static QString Variant(const QString& fileName, int n);
    // The copy of the camera's file in folder: the name and then its variants up to the first one not
    // taken, the first that is the same file. Empty when there is none (or the name is refused).
    static QString FindCopy(
        const QString& folder, const QString& fileName, qint64 size, const QDateTime& time);
    static QString FindCopy(const QString& folder, const TCameraImportItem& file);
    // Moves the complete file at temporary to wanted or its first variant that is free or holds the
    // same file (which is replaced: it has the same bytes). Returns the final path; empty, with the
    // reason in why, when it could not be placed (temporary is left as it is).
    static QString Place(const QString& temporary, const QString& wanted, qint64 size, const QDateTime& time,
        QString* why = nullptr);
};
