#pragma once

#include <QList>
#include <QString>

class TExif;
struct TOlympusAFArea;

// One line of the image information list: caption and value as the user reads them.
struct TExifRow
{
    QString Caption;
    QString Value;
};

// A captioned group of rows.
struct TExifRowSection
{
    QString Caption;
    QList<TExifRow> Rows;
};

// A rectangle in picture pixels; Right and Bottom lie one past the last pixel.
struct TExifRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TExifRect&) const = default;
};

// Turns the tags of one picture into the information list (four sections, 62 rows), the camera's focus
// frame and the detected faces.
class TExifReader
{
public:
    // Reads fileName (a ".JPG" file) and fills the outputs; all three are always written. A file that
    // cannot be read leaves the list empty, the frame (0, 0, 0, 0) and no faces.
    static void Fill(QList<TExifRowSection>& list, const QString& fileName, TExifRect& focusFrame,
        QList<TExifRect>& faces);
    // The same from a reader that has already read its file successfully.
    static void Fill(
        QList<TExifRowSection>& list, const TExif& exif, TExifRect& focusFrame, QList<TExifRect>& faces);

    // The frame of the first AF area centred on the selected AF point (halves rounded toward zero).
    static TExifRect FocusFrame(const TOlympusAFArea& firstArea, int x1, int y1);
};
