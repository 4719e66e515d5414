#include "exif/TOlympusFocusInfoSection.h"

#include "exif/TTiffData.h"

void TOlympusFocusInfoSection::Clear()
{
    *this = TOlympusFocusInfoSection();
}

void TOlympusFocusInfoSection::Store(const TTiffData&, const TIfdEntry&) { }

void TOlympusFocusInfoSection::CollectProperties(QList<QPair<QString, QString>>&) const { }
