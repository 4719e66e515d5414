#include "exif/TOlympusCameraSettingsSection.h"

#include "exif/TTiffData.h"

void TOlympusCameraSettingsSection::Clear()
{
    *this = TOlympusCameraSettingsSection();
}

void TOlympusCameraSettingsSection::Store(const TTiffData&, const TIfdEntry&) { }

void TOlympusCameraSettingsSection::CollectProperties(QList<QPair<QString, QString>>&) const { }

void TOlympusCameraSettingsSection::SetImageSize(int width, int height)
{
    m_imageWidth = width;
    m_imageHeight = height;
}
