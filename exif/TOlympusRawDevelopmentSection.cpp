#include "exif/TOlympusRawDevelopmentSection.h"

#include "exif/TTiffData.h"

void TOlympusRawDevelopmentSection::Clear()
{
    *this = TOlympusRawDevelopmentSection();
}

void TOlympusRawDevelopmentSection::Store(const TTiffData&, const TIfdEntry&) { }

void TOlympusRawDevelopmentSection::CollectProperties(QList<QPair<QString, QString>>&) const { }
