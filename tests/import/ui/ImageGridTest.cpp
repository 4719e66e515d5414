// The thumbnail grid as the import pages use it: placement of the cells and their re-arrangement on
// resize, selection by click, Ctrl-click and Shift-click ranges, the page's handler undoing a click,
// the cells object's selection helpers, what a cell shows for its file (picture, no-preview panel,
// RAW, movie and saved marks) and the double click.
#include "import/ui/ImportGridLook.h"
#include "import/ui/TKmImageGrid.h"

#include <QBuffer>
#include <QImage>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

QByteArray jpegOf(const QColor& color, const QSize& size = QSize(160, 120))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    return bytes;
}

bool near(const QColor& a, const QColor& b, int tolerance = 12)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

// Pixels of a rectangle of the inner panel that are close to a colour.
int countNear(const QImage& image, const QRect& rect, const QColor& color)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += near(image.pixelColor(x, y), color, 24) ? 1 : 0;
    return count;
}

class ImageGridTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The import pages' settings.
        ApplyImportGridLook(*grid.Cells());
        // Inner panel 602 pixels wide: five columns.
        host.resize(1000, 500);
        host.show();
        grid.resize(602 + TKmImageGrid::ScrollBarRoom, 400);
        grid.OnSelectCell = [this](TKmImageGridCell* cell, TShiftState) { clicked.push_back(cell->Index()); };
    }

    void addCells(int count)
    {
        for (int i = 0; i < count; ++i)
            grid.AddCell()->SetImage(QStringLiteral("/100OLYMP/P%1.JPG").arg(1010001 + i), nullptr);
    }

    void click(int index, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        const QPoint at = grid.Cells()->Items(index)->BoundsRect().center();
        QTest::mouseClick(grid.InnerPanel(), Qt::LeftButton, keys, at);
    }

    std::vector<int> selected() const
    {
        std::vector<int> result;
        for (int i = 0; i < grid.Cells()->Count(); ++i)
            if (grid.Cells()->Items(i)->Selected())
                result.push_back(i);
        return result;
    }

    QImage paintedCell(int index)
    {
        return grid.InnerPanel()->grab(grid.Cells()->Items(index)->BoundsRect()).toImage();
    }

    // A shown parent: the grid then lays out at once on every resize.
    QWidget host;
    TKmImageGrid grid { &host };
    std::vector<int> clicked;
};

TEST_F(ImageGridTest, PlacesCellsInRowsAndAgainOnResize)
{
    addCells(6);
    EXPECT_EQ(grid.InnerPanel()->width(), 602);
    const int lefts[] = { 0, 111, 222, 333, 444 };
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(grid.Cells()->Items(i)->BoundsRect(), QRect(lefts[i], 0, 110, 138)) << i;
    EXPECT_EQ(grid.Cells()->Items(5)->BoundsRect(), QRect(0, 139, 110, 138));
    // The panel grows with the second row so the scroll box can scroll to it.
    EXPECT_EQ(grid.InnerPanel()->height(), 139 + 138 + 4);

    grid.resize(250 + TKmImageGrid::ScrollBarRoom, 400); // two columns
    EXPECT_EQ(grid.Cells()->Items(2)->BoundsRect().topLeft(), QPoint(0, 139));
    EXPECT_EQ(grid.Cells()->Items(5)->BoundsRect().topLeft(), QPoint(111, 278));
    EXPECT_EQ(grid.InnerPanel()->height(), 278 + 138 + 4);

    grid.resize(60, 400); // narrower than a cell: still one column
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(grid.Cells()->Items(i)->BoundsRect().topLeft(), QPoint(0, 139 * i)) << i;

    grid.resize(602 + TKmImageGrid::ScrollBarRoom, 400); // back to two rows: the panel shrinks again
    EXPECT_EQ(grid.InnerPanel()->height(), 139 + 138 + 4);

    // A new width resizes the cells where they are; placing them follows with the next arrangement.
    grid.Cells()->SetCellWidth(90);
    EXPECT_EQ(grid.Cells()->CellHeight(), 118);
    EXPECT_EQ(grid.Cells()->Items(1)->BoundsRect(), QRect(111, 0, 90, 118));
    grid.Rearrange();
    EXPECT_EQ(grid.Cells()->Items(1)->BoundsRect(), QRect(91, 0, 90, 118));

    grid.ClearCells();
    EXPECT_EQ(grid.Cells()->Count(), 0);
    EXPECT_EQ(grid.Cells()->Items(0), nullptr);
    EXPECT_EQ(grid.InnerPanel()->height(), 118 + 4);
    EXPECT_EQ(grid.AddCell()->Index(), 0);
}

TEST_F(ImageGridTest, ClickTogglesAndShiftClickSelectsOrDeselectsARange)
{
    addCells(10);
    click(2);
    EXPECT_EQ(selected(), (std::vector<int> { 2 }));
    click(2);
    EXPECT_EQ(selected(), std::vector<int> {});
    EXPECT_EQ(clicked, (std::vector<int> { 2, 2 }));

    // Without RangeSelect Shift is a plain click.
    click(2);
    click(6, Qt::ShiftModifier);
    EXPECT_EQ(selected(), (std::vector<int> { 2, 6 }));
    grid.Cells()->DeselectAll();
    EXPECT_EQ(grid.Cells()->SelectedCount(), 0);

    grid.SetRangeSelect(true);
    click(2);
    click(6, Qt::ShiftModifier);
    EXPECT_EQ(selected(), (std::vector<int> { 2, 3, 4, 5, 6 }));
    // The deselection anchor was unset: only cell 4 goes.
    click(4, Qt::ShiftModifier);
    EXPECT_EQ(selected(), (std::vector<int> { 2, 3, 5, 6 }));
    // From that anchor on, Shift deselects the range up to cell 6.
    click(6, Qt::ShiftModifier);
    EXPECT_EQ(selected(), (std::vector<int> { 2, 3 }));

    // Ctrl with Shift is not "exactly Shift": the click toggles one cell only.
    click(8);
    click(9, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(selected(), (std::vector<int> { 2, 3, 8, 9 }));
    click(0, Qt::ControlModifier);
    EXPECT_EQ(selected(), (std::vector<int> { 0, 2, 3, 8, 9 }));

    // A click beside the cells (the gap between two of them) touches nothing.
    QTest::mouseClick(grid.InnerPanel(), Qt::LeftButton, Qt::NoModifier, QPoint(110, 10));
    EXPECT_EQ(grid.Cells()->SelectedCount(), 5);

    grid.ClearCells();
    EXPECT_EQ(grid.SelectionAnchor(), -1);
    EXPECT_EQ(grid.DeselectionAnchor(), -1);
}

TEST_F(ImageGridTest, HandlerCanRefuseTheClickOnAnImportedCell)
{
    QTemporaryDir dir;
    const QString local = dir.filePath(QStringLiteral("P1010002.JPG"));
    QFile file(local);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(jpegOf(Qt::blue));
    file.close();

    grid.SetRangeSelect(true);
    addCells(4);
    grid.Cells()->Items(2)->SetImage(local, nullptr);
    // The import page: files already copied cannot be selected by clicking.
    grid.OnSelectCell = [](TKmImageGridCell* cell, TShiftState) {
        if (cell->Selected() && QFileInfo(cell->FileName()).isFile())
            cell->SetSelected(false);
    };
    click(2);
    EXPECT_FALSE(grid.Cells()->Items(2)->Selected());
    EXPECT_EQ(grid.SelectionAnchor(), -1);
    EXPECT_EQ(grid.DeselectionAnchor(), 2);

    // The refused click set no selection anchor, so the Shift-click selects one cell, not a range.
    click(3, Qt::ShiftModifier);
    EXPECT_EQ(selected(), (std::vector<int> { 3 }));
}

TEST_F(ImageGridTest, SelectOnlyDeselectAllAndSingleSelected)
{
    addCells(5);
    TKmImageGridCells* cells = grid.Cells();
    EXPECT_EQ(cells->SingleSelected(), nullptr);
    cells->Items(1)->SetSelected(true);
    EXPECT_EQ(cells->SingleSelected(), cells->Items(1));
    cells->Items(3)->SetSelected(true);
    EXPECT_EQ(cells->SingleSelected(), nullptr);
    EXPECT_EQ(cells->SelectedCount(), 2);

    cells->SelectOnly(cells->Items(4));
    EXPECT_EQ(selected(), (std::vector<int> { 4 }));
    cells->SelectOnly(cells->Items(4)); // already the only one: stays selected
    EXPECT_EQ(selected(), (std::vector<int> { 4 }));
    cells->DeselectAll();
    EXPECT_EQ(cells->SelectedCount(), 0);
}

TEST_F(ImageGridTest, CellShowsItsFileTypeAndSavedState)
{
    QTemporaryDir dir;
    const QString local = dir.filePath(QStringLiteral("P1010003.JPG"));
    QFile file(local);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
    file.close();

    TKmImageGridCell* raw = grid.AddCell();
    TKmImageGridCell* movie = grid.AddCell();
    TKmImageGridCell* jpeg = grid.AddCell();
    TKmImageGridCell* saved = grid.AddCell();
    const QByteArray thumbnail = jpegOf(QColor(200, 30, 30));
    QBuffer stream;
    stream.setData(thumbnail);
    stream.open(QIODevice::ReadOnly);
    stream.seek(thumbnail.size()); // left at its end by an earlier reader
    EXPECT_TRUE(raw->SetImage(QStringLiteral("/100OLYMP/P1010001.orf"), nullptr));
    EXPECT_TRUE(movie->SetImage(QStringLiteral("/100OLYMP/P1010002.MOV"), nullptr));
    EXPECT_TRUE(jpeg->SetImage(QStringLiteral("/100OLYMP/P1010003.JPG"), &stream));
    EXPECT_TRUE(saved->SetImage(local, thumbnail));

    EXPECT_EQ(raw->Kind(), TKmImageGridCell::ckRaw);
    EXPECT_EQ(movie->Kind(), TKmImageGridCell::ckMovie);
    EXPECT_EQ(jpeg->Kind(), TKmImageGridCell::ckOrdinary);
    EXPECT_TRUE(raw->RawMarkVisible() && !raw->MovieMarkVisible());
    EXPECT_TRUE(movie->MovieMarkVisible() && !movie->RawMarkVisible());
    EXPECT_FALSE(jpeg->RawMarkVisible() || jpeg->MovieMarkVisible());
    EXPECT_EQ(raw->Caption(), QStringLiteral("P1010001.orf"));
    EXPECT_FALSE(jpeg->SavedMarkVisible()); // a camera path
    EXPECT_TRUE(saved->SavedMarkVisible());
    saved->SetFileName(local + QStringLiteral(".gone"));
    EXPECT_FALSE(saved->SavedMarkVisible());
    saved->SetFileName(local);

    TKmImageGridCell backslash(nullptr, 0);
    backslash.SetFileName(QStringLiteral("C:\\Bilder/Urlaub\\P1.JPG"));
    EXPECT_EQ(backslash.FileNamePart(), QStringLiteral("P1.JPG"));

    // Painted: a cell without thumbnail shows the white panel, one with thumbnail its picture.
    const QRect picture(8, 28 + 8, 110 - 16, 110 - 16);
    const QRect panel = picture.adjusted(0, 12, 0, -12);
    const QImage noPreview = paintedCell(0);
    EXPECT_EQ(noPreview.pixelColor(panel.left() + 2, panel.top() + 2), QColor(Qt::white));
    EXPECT_LT(
        countNear(noPreview, panel, Qt::black), panel.width() * panel.height() / 2); // text, not a block
    EXPECT_GT(countNear(noPreview, panel, Qt::black), 20);
    const QImage shown = paintedCell(2);
    EXPECT_TRUE(near(shown.pixelColor(picture.center()), QColor(200, 30, 30)));
    EXPECT_EQ(countNear(shown, panel, Qt::white), 0);
    EXPECT_EQ(shown.pixelColor(4, 4), QColor(0x91, 0x91, 0x91)); // caption bar
    EXPECT_EQ(shown.pixelColor(2, 28 + 2), QColor(0x7F, 0x7F, 0x7F)); // picture area margin

    // Marks sit in the picture area's corners: RAW text and movie mark top right, saved mark bottom right.
    const QRect topRight(110 - 2 - 20, 28 + 2, 20, 10);
    const QRect bottomRight(110 - 16, 138 - 16, 16, 16);
    const QColor mark(0x40, 0x40, 0x40);
    EXPECT_GT(countNear(paintedCell(0), topRight, mark), 5);
    EXPECT_GT(countNear(paintedCell(1), topRight, mark), 20);
    EXPECT_EQ(countNear(paintedCell(2), topRight, mark), 0);
    EXPECT_EQ(countNear(paintedCell(2), bottomRight, mark), 0);
    EXPECT_GT(countNear(paintedCell(3), bottomRight, mark), 40);

    // Selected: both areas in the selected colour, and a colour change reaches the existing cells.
    jpeg->SetSelected(true);
    EXPECT_EQ(paintedCell(2).pixelColor(4, 4), QColor(0xBF, 0xBF, 0xBF));
    EXPECT_EQ(paintedCell(2).pixelColor(2, 28 + 2), QColor(0xBF, 0xBF, 0xBF));
    grid.Cells()->SetSelectedColor(Qt::white);
    grid.Cells()->SetImageColor(QColor(0x50, 0x50, 0x50));
    EXPECT_EQ(paintedCell(2).pixelColor(4, 4), QColor(Qt::white));
    EXPECT_EQ(paintedCell(1).pixelColor(2, 28 + 2), QColor(0x50, 0x50, 0x50));

    // SetImage starts from a cleared cell: selection, texts and the old mark go.
    raw->SetUpperLeftText(QStringLiteral("01.02.2024"));
    raw->SetSelected(true);
    EXPECT_TRUE(raw->SetImage(QStringLiteral("/100OLYMP/P1010004.JPG"), thumbnail));
    EXPECT_FALSE(raw->Selected());
    EXPECT_FALSE(raw->RawMarkVisible());
    EXPECT_TRUE(raw->UpperLeftText().isEmpty());
    EXPECT_EQ(raw->Kind(), TKmImageGridCell::ckOrdinary);
}

TEST_F(ImageGridTest, BrokenThumbnailFailsButTheCellStillNamesItsFile)
{
    TKmImageGridCell* cell = grid.AddCell();
    cell->SetSelected(true);
    EXPECT_FALSE(cell->SetImage(QStringLiteral("/100OLYMP/P1010001.ORF"), QByteArray("not a jpeg")));
    EXPECT_FALSE(cell->HasPicture());
    EXPECT_TRUE(cell->NoPreviewVisible());
    EXPECT_FALSE(cell->Selected());
    EXPECT_EQ(cell->FileName(), QStringLiteral("/100OLYMP/P1010001.ORF"));
    EXPECT_TRUE(cell->RawMarkVisible());

    QBuffer closed; // a stream nobody opened
    EXPECT_FALSE(cell->SetImage(QStringLiteral("/100OLYMP/P1010002.JPG"), &closed));
    EXPECT_TRUE(cell->NoPreviewVisible());
}

TEST_F(ImageGridTest, DoubleClickReportsTheCellAndLeavesItsSelection)
{
    addCells(3);
    std::vector<std::pair<TKmImageGridCell*, int>> doubleClicks;
    grid.OnDblClickCell = [&](TKmImageGridCell* cell, int index) { doubleClicks.emplace_back(cell, index); };
    grid.Cells()->Items(2)->SetSelected(true);
    const QPoint at = grid.Cells()->Items(1)->BoundsRect().center();
    QTest::mouseDClick(grid.InnerPanel(), Qt::LeftButton, Qt::NoModifier, at);
    ASSERT_EQ(doubleClicks.size(), 1u);
    EXPECT_EQ(doubleClicks[0].first, grid.Cells()->Items(1));
    EXPECT_EQ(doubleClicks[0].second, 1);
    EXPECT_EQ(selected(), (std::vector<int> { 2 }));
}

TEST_F(ImageGridTest, TellsWhichCellsCanBeSeenAfterAScroll)
{
    addCells(100); // 20 rows of five
    std::vector<std::pair<int, int>> told;
    grid.OnVisibleRangeChanged = [&](int first, int last) { told.emplace_back(first, last); };
    int first = 0;
    int last = 0;
    grid.VisibleRange(first, last);
    const int viewport = grid.ScrollBox()->viewport()->height();
    const int row = grid.Cells()->CellHeight() + 1;
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, ((viewport - 1) / row + 1) * 5 - 1);

    // Scrolled to the eleventh row: from its first cell to the end of the last row partly shown.
    grid.ScrollBox()->verticalScrollBar()->setValue(10 * row);
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.back().first, 50);
    EXPECT_EQ(told.back().second, ((10 * row + viewport - 1) / row + 1) * 5 - 1);
    grid.ScrollBox()->verticalScrollBar()->setValue(grid.ScrollBox()->verticalScrollBar()->maximum());
    EXPECT_EQ(told.back().second, 99);
}

} // namespace
