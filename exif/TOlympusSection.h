#pragma once

#include "exif/TOlympusCameraSettingsSection.h"
#include "exif/TOlympusEquipmentSection.h"
#include "exif/TOlympusFocusInfoSection.h"
#include "exif/TOlympusImageProcessingSection.h"
#include "exif/TOlympusRawDevelopmentSection.h"

#include <QList>
#include <QPair>
#include <QString>

class TTiffData;

// The root of an Olympus maker note ("OLYMPUS\0" header, version 3 and later) with its five sections.
class TOlympusSection
{
public:
    QString SpecialMode;
    QString CameraID;
    TOlympusEquipmentSection EquipmentSection;
    TOlympusCameraSettingsSection CameraSettingsSection;
    TOlympusRawDevelopmentSection RawDevelopmentSection;
    TOlympusImageProcessingSection ImageProcessingSection;
    TOlympusFocusInfoSection FocusInfoSection;

    void Clear();
    // exifData: the whole file's bytes with the TIFF base of the Exif block; makerNotePos: absolute
    // position of the maker note's first byte; imageWidth/Height: from the Exif section (0 when unknown).
    // Returns false when it is not a supported Olympus maker note (nothing is stored then) or when the
    // walk ended with a short read (what was read stays).
    bool Read(const TTiffData& exifData, qsizetype makerNotePos, int imageWidth, int imageHeight);
    // "Section.Property" -> text for every named property, root properties as "OlympusSection.<Property>".
    void CollectProperties(QList<QPair<QString, QString>>& out) const;
};
