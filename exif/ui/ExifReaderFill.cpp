#include "exif/ui/ExifReaderFill.h"

#include "exif/ui/TKmPropertyList.h"

namespace ExifReaderFill {

void Fill(TKmPropertyList* list, const QString& fileName, TExifRect& focusFrame, QList<TExifRect>& faces)
{
    QList<TExifRowSection> sections;
    TExifReader::Fill(sections, fileName, focusFrame, faces);
    Show(list, sections);
}

void Show(TKmPropertyList* list, const QList<TExifRowSection>& sections)
{
    // Some 70 rows of widgets: one repaint at the end instead of one per row.
    const bool updates = list->updatesEnabled();
    list->setUpdatesEnabled(false);
    list->Clear();
    for (const TExifRowSection& section : sections) {
        list->AddSection()->SetCaption(section.Caption);
        for (const TExifRow& row : section.Rows) {
            TKmPropertyListItem* item = list->AddItem();
            item->SetCaption(row.Caption);
            item->SetValue(row.Value);
        }
    }
    // Captions as wide as the font needs, up to three fifths of the row: a caption says what a value
    // is and must be read whole; a long value is cut and shows whole as its hint.
    TKmPropertyListItems* rows = list->Properties();
    list->SetCaptionFitPercent(60);
    rows->FitCaptionWidth(rows->RowWidth() > 0 ? rows->RowWidth() * 3 / 5 : rows->CaptionWidth());
    list->setUpdatesEnabled(updates);
}

} // namespace ExifReaderFill
