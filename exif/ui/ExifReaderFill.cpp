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
    // Captions as wide as the font needs, up to not quite half the row (the values matter more);
    // longer ones are cut.
    TKmPropertyListItems* rows = list->Properties();
    rows->FitCaptionWidth(rows->RowWidth() > 0 ? rows->RowWidth() * 9 / 20 : rows->CaptionWidth());
    list->setUpdatesEnabled(updates);
}

} // namespace ExifReaderFill
