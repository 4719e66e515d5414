// Listing lines, the packed dates and times, the sorted entry lists and the real listings.
#include "import/CameraDateTime.h"
#include "import/CommaText.h"
#include "import/FileSizeText.h"
#include "import/THTTPImageListAction.h"
#include "import/TImageListAction.h"

#include "common/TestPaths.h"

#include <QLocale>

#include <memory>

#include <gtest/gtest.h>

using lumivar::test::readFixture;

namespace {

QStringList fields(const char* line)
{
    return SplitCommaText(QString::fromLatin1(line));
}

TEST(CommaText, SplitsLikeDelimitedText)
{
    EXPECT_EQ(fields("/DCIM,100OLYMP,0,16,17141,29813").size(), 6);
    EXPECT_EQ(fields("a,,b"), QStringList({ "a", "", "b" }));
    EXPECT_EQ(fields("a,b,"), QStringList({ "a", "b", "" }));
    EXPECT_EQ(fields("  a , b  "), QStringList({ "a", "b" }));
    // A blank ends a field, so a name with a blank gives one field too many.
    EXPECT_EQ(fields("/DCIM/100OLYMP,P10 01.JPG,1,0,2,3").size(), 7);
    EXPECT_EQ(fields("\"a,b\",\"say \"\"hi\"\"\",c"), QStringList({ "a,b", "say \"hi\"", "c" }));
    EXPECT_EQ(fields("\"open"), QStringList({ "open" }));
    EXPECT_TRUE(fields("").isEmpty());
}

TEST(CameraDateTime, DecodesPackedValues)
{
    EXPECT_EQ(DecodeCameraDate(QStringLiteral("17141")), QDate(2013, 7, 21));
    EXPECT_EQ(DecodeCameraTime(QStringLiteral("29813")), QTime(14, 35, 42));
    EXPECT_FALSE(DecodeCameraDate(QStringLiteral("abc")).isValid());
    EXPECT_FALSE(DecodeCameraDate(QStringLiteral("0")).isValid()); // month 0
    EXPECT_FALSE(DecodeCameraTime(QStringLiteral("65535")).isValid()); // hour 31
    EXPECT_EQ(CameraDateText(QStringLiteral("x1")), QStringLiteral("x1"));
    EXPECT_EQ(CameraTimeText(QStringLiteral("65535")), QStringLiteral("65535"));
    EXPECT_FALSE(CameraTimeText(QStringLiteral("29813")).contains(QLatin1String("29813")));
}

TEST(FileSizeText, StrictThresholds)
{
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(FileSizeText(qint64(0)), QStringLiteral("0 Byte"));
    EXPECT_EQ(FileSizeText(qint64(1023)), QStringLiteral("1023 Byte"));
    EXPECT_EQ(FileSizeText(qint64(-5)), QStringLiteral("-5 Byte"));
    EXPECT_EQ(FileSizeText(qint64(1024)), QStringLiteral("1.0 KB"));
    EXPECT_EQ(FileSizeText(qint64(1) << 20), QStringLiteral("1.0 MB"));
    EXPECT_EQ(FileSizeText(qint64(1) << 30), QStringLiteral("1.0 GB"));
    EXPECT_EQ(FileSizeText(qint64(1) << 40), QStringLiteral("1.0 TB"));
    EXPECT_EQ(FileSizeText(qint64(1) << 50), QString::number(qint64(1) << 50));
    EXPECT_EQ(FileSizeText(QStringLiteral("abc")), QStringLiteral("abc"));
    EXPECT_EQ(FileSizeText(QStringLiteral("2048")), QStringLiteral("2.0 KB"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(FileSizeText(qint64(1536)), QStringLiteral("1,5 KB"));
    QLocale::setDefault(QLocale::c());
}

TEST(ImageList, FoldersOnceInAnswerOrder)
{
    TImageListAction action(TCameraLink::ToHost(QStringLiteral("127.0.0.1:1")));
    action.Lines
        = QStringList { "VER_100", "/DCIM,100OLYMP,0,16,17141,29813", "/DCIM,101OLYMP,0,16,17141,29813",
              "/DCIM,100olymp,0,16,17141,29813", "/DCIM/100OLYMP,P1.JPG,1,0,17141,29813" };
    action.ParseFolders();
    EXPECT_EQ(action.Folders, QStringList({ "100OLYMP", "101OLYMP" }));
}

TEST(ImageList, ItemsSkipBadLinesAndSortByDateTimeName)
{
    TImageListAction action(TCameraLink::ToHost(QStringLiteral("127.0.0.1:1")));
    action.Lines = QStringList {
        "VER_100", "/DCIM/100OLYMP,P1010002.JPG,700,0,17141,29813",
        "/DCIM/100OLYMP,p1010001.JPG,512,0,17141,29813", "/DCIM/100OLYMP,P1000999.JPG,9,0,17140,1",
        "/DCIM/100OLYMP,P1 X.JPG,9,0,17141,29813", // blank in the name
        "/DCIM/100OLYMP,P7.JPG,9,0,17141,29813,extra", // seven fields
        "/dcim/100OLYMP,P8.JPG,9,0,17141,29813", // not the exact prefix
        "/DCIM/100OLYMP,BAD.JPG,9,0,nodate,29813", // undecodable date sorts first
    };
    action.ParseItems();
    ASSERT_EQ(action.Items.Count(), 4);
    EXPECT_EQ(action.Items[0]->FileName, QStringLiteral("BAD.JPG"));
    EXPECT_EQ(action.Items[1]->FileName, QStringLiteral("P1000999.JPG"));
    EXPECT_EQ(action.Items[2]->FileName, QStringLiteral("p1010001.JPG"));
    EXPECT_EQ(action.Items[3]->FileName, QStringLiteral("P1010002.JPG"));
    const TCameraImportItem* item = action.Items[2];
    EXPECT_EQ(item->Directory, QStringLiteral("/100OLYMP"));
    EXPECT_EQ(item->SizeText, QStringLiteral("512"));
    EXPECT_EQ(item->Date, QDate(2013, 7, 21));
    EXPECT_EQ(item->Time, QTime(14, 35, 42));
    EXPECT_EQ(item->CameraPath(), QStringLiteral("/100OLYMP/p1010001.JPG"));
    EXPECT_EQ(item->DateTime(), QDateTime(QDate(2013, 7, 21), QTime(14, 35, 42)));
}

TEST(ImportItems, AddKeepsOrderAndReturnsThePlace)
{
    TCameraImportItems items;
    EXPECT_EQ(items.Add("/100OLYMP", "B.JPG", "1", "17141", "2"), 0);
    EXPECT_EQ(items.Add("/100OLYMP", "A.JPG", "1", "17141", "2"), 0); // same moment: by name
    EXPECT_EQ(items.Add("/100OLYMP", "C.JPG", "1", "17141", "1"), 0); // earlier
    EXPECT_EQ(items.Add("/100OLYMP", "D.JPG", "1", "17142", "1"), 3);
    TCameraImportItem probe("/100olymp", "a.jpg", "1", "17141", "2");
    EXPECT_TRUE(items.Contains(&probe));
    EXPECT_FALSE(items.Contains(nullptr));
    TCameraImportItem other("/100OLYMP", "A.JPG", "2", "17141", "2");
    EXPECT_FALSE(items.Contains(&other));

    TCameraImportItems copy;
    copy.Add("/X", "Z.JPG", "1", "1", "1");
    copy.AssignFrom(&items, true);
    ASSERT_EQ(copy.Count(), 4);
    EXPECT_EQ(copy[0]->FileName, QStringLiteral("C.JPG"));
    copy.AssignFrom(nullptr, false);
    EXPECT_EQ(copy.Count(), 4);
    TCameraImportItem noDir("", "A.JPG", "1", "1", "1");
    EXPECT_TRUE(noDir.CameraPath().isEmpty());
}

TEST(ImportItems, LatestGroupIsTheNewestShot)
{
    TCameraImportItems items;
    EXPECT_EQ(items.LatestGroup().Count(), 0);
    items.Add("/100OLYMP", "P1010001.JPG", "1", "17141", "29813");
    items.Add("/100OLYMP", "P1010001.ORF", "1", "17141", "29813");
    items.Add("/100OLYMP", "P1000999.JPG", "1", "17141", "100");
    const TBaseCameraImportItems& group = items.LatestGroup();
    ASSERT_EQ(group.Count(), 2);
    EXPECT_EQ(group[0]->FileName, QStringLiteral("P1010001.ORF"));
    EXPECT_EQ(group[1]->FileName, QStringLiteral("P1010001.JPG"));
    EXPECT_FALSE(group.OwnsItems());
    EXPECT_EQ(items.Count(), 3);
}

// The captured answers of a real camera: one folder listing, then one folder of 1,107 files.
QStringList captureBody(const QByteArray& capture, int index)
{
    QStringList bodies;
    const QString text = QString::fromLatin1(capture);
    qsizetype at = 0;
    while ((at = text.indexOf(QLatin1String("HTTP/1.1 200 OK"), at)) >= 0) {
        const qsizetype start = text.indexOf(QLatin1String("\n\n"), at) + 2;
        qsizetype end = text.indexOf(QLatin1String("\n---"), start);
        if (end < 0)
            end = text.size();
        bodies << text.mid(start, end - start);
        at = end;
    }
    return index < bodies.size() ? TBaseImportAction::SplitLines(bodies.at(index)) : QStringList();
}

TEST(RealListings, ImgListOfTheE_M10)
{
    const QByteArray capture
        = readFixture(QStringLiteral("camera/imglist_E-M10-family_v2.20_DCIM_and_100OLYMP_responses.txt"));
    ASSERT_FALSE(capture.isEmpty());
    TImageListAction action(TCameraLink::ToHost(QStringLiteral("127.0.0.1:1")));
    action.Lines = captureBody(capture, 0);
    action.ParseFolders();
    EXPECT_EQ(action.Folders, QStringList({ "100OLYMP" }));

    action.Lines = captureBody(capture, 1);
    action.ParseItems();
    ASSERT_EQ(action.Items.Count(), 1107);
    int orf = 0, jpg = 0, mov = 0;
    for (int i = 0; i < action.Items.Count(); ++i) {
        const TCameraImportItem* item = action.Items[i];
        EXPECT_TRUE(item->Date.isValid() && item->Time.isValid()) << item->FileName.toStdString();
        EXPECT_EQ(item->Directory, QStringLiteral("/100OLYMP"));
        if (i > 0) {
            EXPECT_FALSE(TBaseCameraImportItems::Less(*item, *action.Items[i - 1])) << i;
        }
        orf += item->FileName.endsWith(QLatin1String(".ORF"));
        jpg += item->FileName.endsWith(QLatin1String(".JPG"));
        mov += item->FileName.endsWith(QLatin1String(".MOV"));
    }
    EXPECT_EQ(orf, 866);
    EXPECT_EQ(jpg, 239);
    EXPECT_EQ(mov, 2);
    EXPECT_EQ(action.Items[0]->FileName, QStringLiteral("P7090001.ORF"));
    EXPECT_EQ(action.Items[0]->Size(), 13752872);
}

std::unique_ptr<THTTPImageListAction> pageOf(const char* fixture)
{
    auto action = std::make_unique<THTTPImageListAction>(TCameraLink::ToHost(QStringLiteral("127.0.0.1:1")));
    action->Lines = TBaseImportAction::SplitLines(
        QString::fromLatin1(readFixture(QLatin1String("camera/") + QLatin1String(fixture))));
    action->ExtractListLines();
    return action;
}

TEST(RealListings, DcimPages)
{
    auto root = pageOf("dcim_page_E-M10_root_onefolder.html");
    root->ParseFolders();
    EXPECT_EQ(root->Folders, QStringList({ "100OLYMP" }));

    auto none = pageOf("dcim_page_E-M10_root_nofolder.html");
    none->ParseFolders();
    EXPECT_TRUE(none->Folders.isEmpty());
    EXPECT_TRUE(none->Lines.isEmpty());

    const QByteArray many = readFixture(QStringLiteral("camera/dcim_page_E-M10_100OLYMP_many_files.html"));
    auto folder = pageOf("dcim_page_E-M10_100OLYMP_many_files.html");
    folder->ParseItems();
    EXPECT_EQ(folder->Items.Count(), many.count("]=\"/DCIM/"));
    ASSERT_GT(folder->Items.Count(), 20);
    // The page repeats the folder with a trailing slash; the camera path has one slash only.
    const TCameraImportItem* first = folder->Items[0];
    EXPECT_EQ(first->Directory, QStringLiteral("/100OLYMP/"));
    EXPECT_EQ(first->CameraPath(), QStringLiteral("/100OLYMP/") + first->FileName);

    auto one = pageOf("dcim_page_E-M10_107OLYMP_one_file.html");
    one->ParseItems();
    ASSERT_EQ(one->Items.Count(), 1);
    EXPECT_EQ(one->Items[0]->FileName, QStringLiteral("P1144737.ORF"));
    EXPECT_EQ(one->Items[0]->Date, QDate(2019, 1, 14));
    EXPECT_EQ(one->Items[0]->Time, QTime(21, 59, 42));
}

TEST(RealListings, PageLineMatchingIsStrict)
{
    THTTPImageListAction action(TCameraLink::ToHost(QStringLiteral("127.0.0.1:1")));
    action.Lines = QStringList { "  wlansd[3] = \"/DCIM/100OLYMP,P1010002.ORF,123,32,17141,29814\";  ",
        "wlansd = new Array();", "wlansd[4]=\"a\"b\";", "x wlansd[5]=\"/DCIM,1,0,16,1,1\";" };
    action.ExtractListLines();
    EXPECT_EQ(action.Lines, QStringList({ "/DCIM/100OLYMP,P1010002.ORF,123,32,17141,29814" }));
}

TEST(ListActions, DisabledActionsSendNothing)
{
    // Port 1 answers nobody: a request would fail, so true means nothing was sent.
    TImageListAction list(TCameraLink::ToHost(QStringLiteral("127.0.0.1:1")));
    EXPECT_TRUE(list.Execute(QString()));
    EXPECT_TRUE(list.Lines.isEmpty());
    THTTPImageListAction pages(TCameraLink::ToHost(QStringLiteral("127.0.0.1:1")));
    EXPECT_TRUE(pages.Execute(QStringLiteral("/100OLYMP")));
}

} // namespace
