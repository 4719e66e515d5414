#include "exif/TOlympusSection.h"

#include "exif/TTiffData.h"

void TOlympusSection::Clear()
{
    EquipmentSection.Clear();
    CameraSettingsSection.Clear();
    RawDevelopmentSection.Clear();
    ImageProcessingSection.Clear();
    FocusInfoSection.Clear();
    SpecialMode.clear();
    CameraID.clear();
}

bool TOlympusSection::Read(const TTiffData&, qsizetype, int, int)
{
    return false;
}

void TOlympusSection::CollectProperties(QList<QPair<QString, QString>>&) const { }
