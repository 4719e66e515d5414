#include "exif/TOlympusEquipmentSection.h"

#include "exif/TTiffData.h"

void TOlympusEquipmentSection::Clear()
{
    *this = TOlympusEquipmentSection();
}

void TOlympusEquipmentSection::Store(const TTiffData&, const TIfdEntry&) { }

void TOlympusEquipmentSection::CollectProperties(QList<QPair<QString, QString>>&) const { }
