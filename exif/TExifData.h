#pragma once

#include "exif/TExifSection.h"
#include "exif/TGpsSection.h"

#include <QList>
#include <QPair>
#include <QString>

class TTiffData;
struct TIfdEntry;

// The picture's general tags (IFD0) and the Exif and GPS sections below them.
class TExifData
{
public:
    QString CameraManufacturer;
    QString CameraModel;
    QString ReleaseDate;
    QString Author;
    QString Copyright;

    TExifSection ExifSection;
    TGpsSection GpsSection;

    void Clear();
    // Stores one entry of IFD0 when its tag is one of ours (directory pointers are the reader's business).
    void Store(const TTiffData& data, const TIfdEntry& entry);
    // "Section.Property" and text of every property of the tree, maker note included.
    void CollectProperties(QList<QPair<QString, QString>>& out) const;
};
