#include "exif/ui/ExifReaderFill.h"
#include "exif/ui/TKmPropertyList.h"

#include "common/TestPaths.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using lumivar::test::fixturePath;

namespace {

// A list as created: 360 wide, so its rows are 340 wide. Shown, because a hidden widget only hears
// of its resizes when it is shown.
struct PropertyListTest : ::testing::Test
{
    TKmPropertyList list;
    TKmPropertyListItems& rows = *list.Properties();

    void SetUp() override { list.show(); }
};

} // namespace

TEST_F(PropertyListTest, RowsOverlapByTwoPixelsAndTheListFollowsOnResize)
{
    ASSERT_EQ(rows.RowWidth(), 340);
    rows.SetItemHeight(24);
    for (int i = 0; i < 3; ++i)
        list.AddItem();
    EXPECT_EQ(rows.Items(0)->y(), 0);
    EXPECT_EQ(rows.Items(1)->y(), 22);
    EXPECT_EQ(rows.Items(2)->y(), 44);
    EXPECT_EQ(list.RowPanel()->height(), 69);
    EXPECT_EQ(rows.Items(3), nullptr);
    EXPECT_EQ(rows.Items(-1), nullptr);

    list.resize(400, 200);
    EXPECT_EQ(list.RowPanel()->height(), 67);
    EXPECT_EQ(list.RowPanel()->width(), 380);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(rows.Items(i)->width(), 380);

    // A new height moves every row to its place.
    rows.SetItemHeight(20);
    EXPECT_EQ(rows.Items(2)->geometry(), QRect(0, 36, 380, 20));
}

TEST_F(PropertyListTest, ColumnsShareOnePixelAndTheCaptionWidthIsLimitedToTheRow)
{
    TKmPropertyListItem* item = list.AddItem();
    EXPECT_EQ(item->CaptionColumn()->width(), 170); // half the row by default
    rows.SetCaptionWidth(110);
    EXPECT_EQ(item->CaptionColumn()->geometry(), QRect(0, 0, 110, 20));
    EXPECT_EQ(item->ValueColumn()->geometry(), QRect(109, 0, 231, 20));
    EXPECT_EQ(item->ValueLabel()->geometry(), QRect(8, 2, 215, 18));

    rows.SetCaptionWidth(500);
    EXPECT_EQ(rows.CaptionWidth(), 340);
    EXPECT_EQ(item->CaptionColumn()->width(), 340);
    EXPECT_EQ(item->ValueColumn()->width(), 1);

    // A wider list keeps the caption column and gives the room to the value.
    rows.SetCaptionWidth(110);
    list.resize(460, 100);
    EXPECT_EQ(item->CaptionColumn()->width(), 110);
    EXPECT_EQ(item->ValueColumn()->geometry(), QRect(109, 0, 331, 20));
}

TEST_F(PropertyListTest, SectionRowsSpanTheRowInTheSectionFont)
{
    QFont sectionFont = rows.SectionFont();
    sectionFont.setItalic(true);
    rows.SetSectionFont(sectionFont);
    TKmPropertyListItem* section = list.AddSection();
    section->SetCaption(QStringLiteral("Allgemein"));
    TKmPropertyListItem* item = list.AddItem();

    EXPECT_TRUE(section->IsSection());
    EXPECT_TRUE(section->ValueColumn()->isHidden());
    EXPECT_EQ(section->CaptionColumn()->width(), 340);
    EXPECT_TRUE(section->CaptionLabel()->font().italic());
    EXPECT_FALSE(item->IsSection());
    EXPECT_FALSE(item->ValueColumn()->isHidden());
    EXPECT_FALSE(item->CaptionLabel()->font().italic());

    list.resize(300, 100);
    EXPECT_EQ(section->CaptionColumn()->width(), 280);

    section->SetSection(false);
    EXPECT_FALSE(section->ValueColumn()->isHidden());
    EXPECT_EQ(section->CaptionColumn()->width(), 140);
}

TEST_F(PropertyListTest, LongAndMarkupValuesStayPlainTextWithTheWholeTextAsHint)
{
    TKmPropertyListItem* item = list.AddItem();
    const QString longText(300, u'x');
    item->SetValue(longText);
    EXPECT_EQ(item->Value(), longText);
    EXPECT_EQ(item->ValueLabel()->toolTip(), longText);
    EXPECT_LE(item->ValueLabel()->geometry().right(), item->ValueColumn()->width());

    // Texts from a picture file must not turn into markup (or load images) in the label or hint.
    const QString markup = QStringLiteral("<img src=\"/etc/passwd\"><b>OLYMPUS</b>");
    item->SetValue(markup);
    EXPECT_EQ(item->ValueLabel()->textFormat(), Qt::PlainText);
    EXPECT_EQ(item->Value(), markup);
    EXPECT_FALSE(item->ValueLabel()->toolTip().contains(QStringLiteral("<img")));
    EXPECT_TRUE(item->ValueLabel()->toolTip().contains(markup.toHtmlEscaped()));
}

TEST_F(PropertyListTest, ClearLeavesOneEmptyRowOfRoomAndNothingAfterResize)
{
    rows.SetItemHeight(24);
    list.AddSection();
    list.AddItem();
    list.Clear();
    EXPECT_EQ(rows.Count(), 0);
    EXPECT_EQ(list.RowPanel()->height(), 25);
    EXPECT_TRUE(list.RowPanel()->findChildren<TKmPropertyListItem*>().isEmpty());
    list.resize(380, 50);
    EXPECT_EQ(list.RowPanel()->height(), 1);
}

TEST_F(PropertyListTest, CopiedSettingsApplyToTheRowsThere)
{
    TKmPropertyList other;
    other.Properties()->SetItemHeight(24);
    other.Properties()->SetCaptionWidth(110);
    other.Properties()->SetValueColor(QColor(71, 71, 71));
    TKmPropertyListItem* item = list.AddItem();
    list.SetProperties(*other.Properties());
    EXPECT_EQ(item->height(), 24);
    EXPECT_EQ(item->CaptionColumn()->width(), 110);
    EXPECT_EQ(item->ValueColumn()->palette().color(QPalette::Window), QColor(71, 71, 71));
}

TEST(ExifReaderFillTest, FillsFourSectionsOfRowsFromAnOlympusPicture)
{
    TKmPropertyList list;
    TExifRect frame { 1, 2, 3, 4 };
    QList<TExifRect> faces { TExifRect { 1, 1, 2, 2 } };
    ExifReaderFill::Fill(&list, fixturePath(QStringLiteral("exif/olympus_e-p3.jpg")), frame, faces);

    TKmPropertyListItems& rows = *list.Properties();
    // 62 rows and the maker note's exposure shift, which this body records.
    ASSERT_EQ(rows.Count(), 4 + 63);
    int sections = 0;
    for (int i = 0; i < rows.Count(); ++i)
        sections += rows.Items(i)->IsSection() ? 1 : 0;
    EXPECT_EQ(sections, 4);
    EXPECT_TRUE(rows.Items(0)->IsSection());
    EXPECT_EQ(rows.Items(0)->Caption(), QStringLiteral("Allgemein"));
    EXPECT_EQ(rows.Items(4)->Caption(), QStringLiteral("Hardware"));
    EXPECT_EQ(rows.Items(5)->Caption(), QStringLiteral("Kamera"));
    EXPECT_TRUE(rows.Items(5)->Value().contains(QStringLiteral("E-P3")));
    EXPECT_EQ(rows.Items(rows.Count() - 5)->Caption(), QStringLiteral("GPS-Daten"));

    // Another file replaces the rows; one the reader refuses leaves the list empty.
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("notes.txt"));
    ExifReaderFill::Fill(&list, text, frame, faces);
    EXPECT_EQ(rows.Count(), 0);
    EXPECT_EQ(frame, TExifRect());
    EXPECT_TRUE(faces.isEmpty());
}

// A height asked for in pixels of one font must not cut the descenders of another; captions wider
// than their column are cut with "…" and readable in full as the hint.
TEST_F(PropertyListTest, RowsFitTheirFontsAndLongCaptionsAreCutWithTheirWholeTextAsHint)
{
    rows.SetItemHeight(4);
    QFont large = rows.CaptionFont();
    large.setPointSize(16);
    rows.SetCaptionFont(large);
    TKmPropertyListItem* item = list.AddItem();
    item->SetCaption(QStringLiteral("Aufnahmedatum"));
    item->SetValue(QStringLiteral("gpqy"));
    const int needed = QFontMetrics(large).height();
    EXPECT_GE(item->CaptionLabel()->height(), needed);
    EXPECT_GE(rows.RowHeight(), needed + 4);
    EXPECT_EQ(list.AddItem()->y(), rows.RowHeight() - 2);

    rows.SetCaptionWidth(60);
    EXPECT_TRUE(item->CaptionLabel()->text().endsWith(QChar(0x2026)));
    EXPECT_EQ(item->CaptionLabel()->toolTip(), QStringLiteral("Aufnahmedatum"));
    EXPECT_EQ(item->Caption(), QStringLiteral("Aufnahmedatum"));

    rows.FitCaptionWidth(300);
    EXPECT_EQ(item->CaptionLabel()->text(), QStringLiteral("Aufnahmedatum"));
    EXPECT_TRUE(item->CaptionLabel()->toolTip().isEmpty());
    EXPECT_GE(item->CaptionLabel()->width(), QFontMetrics(large).horizontalAdvance(item->Caption()));
    rows.FitCaptionWidth(50);
    EXPECT_EQ(rows.CaptionWidth(), 50);
}
