#include "exif/TOlympusImageProcessingSection.h"

#include "exif/TTiffData.h"

void TOlympusImageProcessingSection::Clear()
{
    *this = TOlympusImageProcessingSection();
}

void TOlympusImageProcessingSection::Store(const TTiffData&, const TIfdEntry&) { }

void TOlympusImageProcessingSection::CollectProperties(QList<QPair<QString, QString>>&) const { }

void TOlympusImageProcessingSection::SetImageSize(int width, int height)
{
    m_imageWidth = width;
    m_imageHeight = height;
}
