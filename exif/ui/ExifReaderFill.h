#pragma once

#include "exif/TExifReader.h"

#include <QList>
#include <QString>

class TKmPropertyList;

// The image information list of a picture shown in a property list control: TExifReader builds the
// rows, these put them into the control (a section row per section, then its caption and value rows).
namespace ExifReaderFill {

// Clears list and fills it for fileName; the frame and faces are written as TExifReader::Fill does.
void Fill(TKmPropertyList* list, const QString& fileName, TExifRect& focusFrame, QList<TExifRect>& faces);

// Replaces the rows of list by sections (an empty list leaves the control empty).
void Show(TKmPropertyList* list, const QList<TExifRowSection>& sections);

} // namespace ExifReaderFill
