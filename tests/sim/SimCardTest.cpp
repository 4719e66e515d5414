#include "sim/SimCard.h"
#include "sim/SimClock.h"
#include "sim/SimJpeg.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <regex>
#include <set>
#include <thread>
#include <turbojpeg.h>

using namespace camsim;

namespace {

// 2015-10-22 14:35:42 UTC, the camera clock two hours ahead
struct TestClock : SimClock
{
    TestClock() { reset(); }
    void reset()
    {
        using namespace std::chrono;
        set(sys_days(year(2015) / 10 / 22) + hours(14) + minutes(35) + seconds(42), 120);
    }
};

SimShotInfo baseShot()
{
    return { "OLYMPUS IMAGING CORP.", "E-M10", 400, 1.0 / 250, 5.6, -0.7, 25, 1 };
}

std::string readAll(const SimCard& card, const std::string& path)
{
    const auto entry = card.find(path);
    if (!entry)
        return {};
    std::string data(entry->size, '\0');
    data.resize(card.read(path, 0, data.data(), data.size()));
    return data;
}

std::pair<int, int> jpegSize(const std::string& jpeg)
{
    tjhandle h = tjInitDecompress();
    int w = 0, ht = 0, ss = 0, cs = 0;
    std::vector<uint8_t> pixels;
    const auto* p = reinterpret_cast<const unsigned char*>(jpeg.data());
    bool ok = tjDecompressHeader3(h, p, jpeg.size(), &w, &ht, &ss, &cs) == 0;
    if (ok) {
        pixels.resize(size_t(w) * ht * 3);
        ok = tjDecompress2(h, p, jpeg.size(), pixels.data(), w, 0, ht, TJPF_RGB, 0) == 0;
    }
    tjDestroy(h);
    return ok ? std::pair(w, ht) : std::pair(0, 0);
}

std::vector<SimEntry> allFiles(const SimCard& card)
{
    std::vector<SimEntry> files;
    for (const SimEntry& folder : card.list("/DCIM"))
        for (const SimEntry& e : card.list("/DCIM/" + folder.name))
            files.push_back(e);
    return files;
}

// Independent little-endian TIFF reading for the Exif checks.
struct Tiff
{
    std::string_view t;
    uint16_t u16(size_t at) const { return uint16_t(uint8_t(t.at(at)) | uint8_t(t.at(at + 1)) << 8); }
    uint32_t u32(size_t at) const { return u16(at) | uint32_t(u16(at + 2)) << 16; }
    // offset of the entry with `tag` in the IFD at `ifd`, 0 when absent
    size_t entry(size_t ifd, uint16_t tag) const
    {
        for (size_t i = 0, n = u16(ifd); i < n; ++i)
            if (u16(ifd + 2 + 12 * i) == tag)
                return ifd + 2 + 12 * i;
        return 0;
    }
    std::string ascii(size_t e) const
    {
        const uint32_t count = u32(e + 4);
        const size_t at = count <= 4 ? e + 8 : u32(e + 8);
        std::string s(t.substr(at, count));
        while (!s.empty() && s.back() == '\0')
            s.pop_back();
        return s;
    }
};

} // namespace

TEST(SimCard, NamesAndPackedDatesFollowTheCameraRules)
{
    TestClock clock;
    auto card = SimCard::generate(200, 7, clock, baseShot());
    const auto files = allFiles(*card);
    ASSERT_EQ(files.size(), 200u);
    EXPECT_EQ(card->dcfFileCount(), 200);
    const std::regex dcf("P([1-9ABC])([0-3][0-9])([0-9]{4})\\.(JPG|ORF|MOV)");
    std::set<std::string> kinds;
    for (const SimEntry& e : files) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(e.name, m, dcf)) << e.name;
        kinds.insert(m[4]);
        const int month = (e.date >> 5) & 15, day = e.date & 31;
        EXPECT_EQ(m[1].str()[0], "0123456789ABC"[month]) << e.name;
        EXPECT_EQ(std::stoi(m[2]), day) << e.name;
        EXPECT_GE((e.date >> 9) + 1980, 2014);
        EXPECT_LT((e.time >> 11) & 31, 24);
        EXPECT_LT((e.time >> 5) & 63, 60);
        EXPECT_LT(e.time & 31, 30);
        EXPECT_EQ(e.attr, 0);
        if (m[4] == "ORF") {
            EXPECT_GE(e.size, 13'000'000u);
            EXPECT_LE(e.size, 16'200'000u);
        }
    }
    EXPECT_EQ(kinds, (std::set<std::string> { "JPG", "ORF", "MOV" }));

    // a take at 16:35:42 local time on 22 October 2015
    clock.reset();
    const auto shot = card->addShot("RAW+LF", clock, baseShot());
    ASSERT_EQ(shot.size(), 2u);
    EXPECT_EQ(shot[0].name.substr(0, 4), "PA22");
    EXPECT_EQ(shot[0].name.substr(8), ".ORF");
    EXPECT_EQ(shot[1].name, shot[0].name.substr(0, 8) + ".JPG");
    EXPECT_EQ(shot[0].date, ((2015 - 1980) << 9) | (10 << 5) | 22);
    EXPECT_EQ(shot[0].time, (16 << 11) | (35 << 5) | (42 / 2));
    EXPECT_EQ(shot[1].date, shot[0].date);
    EXPECT_EQ(shot[1].time, shot[0].time);
    EXPECT_EQ(card->newestJpegPath(), shot[1].dir + "/" + shot[1].name);
    EXPECT_EQ(card->addShot("LF", clock, baseShot()).size(), 1u);
    EXPECT_EQ(card->addShot("RAW", clock, baseShot()).at(0).name.substr(8), ".ORF");
}

TEST(SimCard, ListsInCardOrderAndIsDeterministic)
{
    const TestClock clock;
    auto card = SimCard::generate(120, 3, clock, baseShot());
    auto again = SimCard::generate(120, 3, clock, baseShot());
    auto other = SimCard::generate(120, 4, clock, baseShot());
    const auto folders = card->list("/DCIM");
    ASSERT_FALSE(folders.empty());
    EXPECT_EQ(folders[0].name, "100OLYMP");
    for (const SimEntry& f : folders) {
        EXPECT_EQ(f.dir, "/DCIM");
        EXPECT_EQ(f.attr, 16);
        EXPECT_EQ(f.size, 0u);
    }
    const auto files = allFiles(*card);
    const auto sameSeed = allFiles(*again);
    ASSERT_EQ(files.size(), sameSeed.size());
    for (size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(files[i].name, sameSeed[i].name);
        EXPECT_EQ(files[i].size, sameSeed[i].size);
        EXPECT_EQ(files[i].time, sameSeed[i].time);
    }
    EXPECT_NE(allFiles(*other)[0].size, files[0].size);

    // Files come in the order they were written (raw before its JPEG), not sorted by name.
    for (size_t i = 1; i < files.size(); ++i) {
        const int prev = std::stoi(files[i - 1].name.substr(4, 4)),
                  cur = std::stoi(files[i].name.substr(4, 4));
        EXPECT_TRUE(cur == prev + 1 || (cur == prev && files[i].name.ends_with(".JPG")))
            << files[i - 1].name << " then " << files[i].name;
    }
    const auto added = card->addShot("LF", clock, baseShot());
    const auto listed = card->list(added[0].dir);
    EXPECT_EQ(listed.back().name, added[0].name);

    // Lookups are as tolerant as FAT: any case, a trailing slash on folders.
    const std::string path = files[0].dir + "/" + files[0].name;
    std::string lower = path;
    for (char& c : lower)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    ASSERT_TRUE(card->find(lower));
    EXPECT_EQ(card->find(lower)->name, files[0].name);
    EXPECT_EQ(card->list("/DCIM/100OLYMP/").size(), card->list("/DCIM/100OLYMP").size());
    EXPECT_FALSE(card->find("/DCIM/100OLYMP/P0000000.JPG"));
    EXPECT_TRUE(card->list("/DCIM/999OLYMP").empty());
}

TEST(SimCard, ServesLargeMoviesAndRawFilesOnTheFly)
{
    auto card = SimCard::generate(200, 11, TestClock(), baseShot());
    std::optional<SimEntry> movie, raw;
    for (const SimEntry& e : allFiles(*card)) {
        if (!movie && e.name.ends_with(".MOV") && e.size > (uint64_t(1) << 31))
            movie = e;
        if (!raw && e.name.ends_with(".ORF"))
            raw = e;
    }
    ASSERT_TRUE(movie);
    ASSERT_TRUE(raw);
    const std::string moviePath = movie->dir + "/" + movie->name;
    EXPECT_GT(card->moviePlayTimeSeconds(moviePath), 60);
    EXPECT_EQ(card->moviePlayTimeSeconds(raw->dir + "/" + raw->name), -1);

    std::string head(16, '\0');
    ASSERT_EQ(card->read(moviePath, 0, head.data(), head.size()), 16u);
    EXPECT_EQ(head.substr(4, 8), "ftypqt  ");

    std::string a(1 << 20, '\0'), b(1 << 20, '\0');
    const uint64_t near = movie->size - a.size();
    ASSERT_EQ(card->read(moviePath, near, a.data(), a.size()), a.size());
    ASSERT_EQ(card->read(moviePath, near, b.data(), b.size()), b.size());
    EXPECT_EQ(a, b);
    // A request overlapping the end is cut at the end; one beyond it gives nothing.
    std::string tail(100, '\0');
    EXPECT_EQ(card->read(moviePath, movie->size - 10, tail.data(), tail.size()), 10u);
    EXPECT_EQ(tail.substr(0, 10), a.substr(a.size() - 10));
    EXPECT_EQ(card->read(moviePath, movie->size, tail.data(), tail.size()), 0u);
    // Pieces read at odd offsets agree with one large read.
    std::string piece(777, '\0');
    ASSERT_EQ(card->read(moviePath, near + 12345, piece.data(), piece.size()), piece.size());
    EXPECT_EQ(piece, a.substr(12345, 777));

    const std::string rawData = readAll(*card, raw->dir + "/" + raw->name);
    ASSERT_EQ(rawData.size(), raw->size);
    EXPECT_EQ(rawData.substr(0, 4), "IIRO");
    EXPECT_NE(rawData.find("E-M10"), std::string::npos);
}

TEST(SimCard, JpegsDecodeAndCarryWellFormedExif)
{
    const TestClock clock;
    auto card = SimCard::generate(10, 5, clock, baseShot());
    const auto shot = card->addShot("LF", clock, baseShot());
    ASSERT_EQ(shot.size(), 1u);
    const std::string jpeg = readAll(*card, shot[0].dir + "/" + shot[0].name);
    ASSERT_EQ(jpeg.size(), shot[0].size);
    EXPECT_GT(jpeg.size(), 2'000'000u) << "listed sizes are camera-like";
    EXPECT_EQ(jpeg.substr(0, 4), "\xFF\xD8\xFF\xE1");
    EXPECT_EQ(jpeg.substr(jpeg.size() - 2), "\xFF\xD9");
    EXPECT_EQ(jpegSize(jpeg), std::pair(1280, 960));

    const size_t app1Length = size_t(uint8_t(jpeg[4])) << 8 | uint8_t(jpeg[5]);
    ASSERT_EQ(jpeg.substr(6, 6), std::string("Exif\0\0", 6));
    const Tiff tiff { std::string_view(jpeg).substr(12, app1Length - 8) };
    ASSERT_EQ(tiff.t.substr(0, 4), std::string_view("II*\0", 4));
    const uint32_t ifd0 = tiff.u32(4);
    EXPECT_GE(tiff.u16(ifd0), 8);
    EXPECT_EQ(tiff.ascii(tiff.entry(ifd0, 0x010F)), "OLYMPUS IMAGING CORP.");
    EXPECT_EQ(tiff.ascii(tiff.entry(ifd0, 0x0110)), "E-M10");
    EXPECT_EQ(tiff.u16(tiff.entry(ifd0, 0x0112) + 8), 1);
    const size_t exifPointer = tiff.entry(ifd0, 0x8769);
    ASSERT_NE(exifPointer, 0u);
    const uint32_t exif = tiff.u32(exifPointer + 8);
    EXPECT_EQ(tiff.ascii(tiff.entry(exif, 0x9003)), "2015:10:22 16:35:42");
    const size_t exposure = tiff.entry(exif, 0x829A);
    ASSERT_NE(exposure, 0u);
    const uint32_t exposureAt = tiff.u32(exposure + 8);
    EXPECT_EQ(tiff.u32(exposureAt), 1u);
    EXPECT_EQ(tiff.u32(exposureAt + 4), 250u);
    EXPECT_EQ(tiff.u16(tiff.entry(exif, 0x8827) + 8), 400);
    EXPECT_EQ(tiff.u32(tiff.entry(exif, 0xA002) + 8), 1280u);
    const size_t maker = tiff.entry(exif, 0x927C);
    ASSERT_NE(maker, 0u);
    const std::string_view note = tiff.t.substr(tiff.u32(maker + 8), tiff.u32(maker + 4));
    ASSERT_EQ(note.substr(0, 12), std::string_view("OLYMPUS\0II\3\0", 12));
    // the maker note's sub-IFD offsets count from its own start and stay inside it
    const Tiff mn { note };
    const size_t equipment = mn.entry(12, 0x2010);
    ASSERT_NE(equipment, 0u);
    const uint32_t equipmentAt = mn.u32(equipment + 8);
    ASSERT_LT(equipmentAt, note.size());
    EXPECT_EQ(mn.ascii(mn.entry(equipmentAt, 0x0203)).substr(0, 7), "OLYMPUS");
}

TEST(SimCard, ThumbnailsAndScreennailsAreJpegsOfTheRightShape)
{
    const TestClock clock;
    auto card = SimCard::generate(40, 9, clock, baseShot());
    const auto files = allFiles(*card);
    const std::string landscape = files[0].dir + "/" + files[0].name;
    EXPECT_EQ(jpegSize(card->thumbnail(landscape)), std::pair(160, 120));
    EXPECT_EQ(card->thumbnail(landscape), card->thumbnail(landscape));
    SimShotInfo portrait = baseShot();
    portrait.orientation = 6;
    const auto shot = card->addShot("RAW+LF", clock, portrait);
    for (const SimEntry& e : shot)
        EXPECT_EQ(jpegSize(card->thumbnail(e.dir + "/" + e.name)), std::pair(120, 160)) << e.name;
    const auto screen = jpegSize(card->screennail(shot[1].dir + "/" + shot[1].name));
    EXPECT_GT(screen.second, 160);
    EXPECT_GT(screen.second, screen.first);
    EXPECT_TRUE(card->thumbnail("/DCIM/100OLYMP/NOPE.JPG").empty());
    EXPECT_TRUE(card->thumbnail("/DCIM/100OLYMP").empty());
}

TEST(SimCard, HostileNamesOnlyWhenSwitchedOn)
{
    auto card = SimCard::generate(30, 2, TestClock(), baseShot());
    auto suspicious = [](const std::string& name) {
        return name == "." || name == ".." || name.find('/') != std::string::npos
            || name.find('\\') != std::string::npos || std::any_of(name.begin(), name.end(), [](char c) {
                   return static_cast<unsigned char>(c) < 0x20;
               });
    };
    auto count = [&] {
        int n = 0;
        for (const std::string dir : { "/DCIM", "/DCIM/100OLYMP" })
            for (const SimEntry& e : card->list(dir))
                n += suspicious(e.name);
        return n;
    };
    EXPECT_EQ(count(), 0);
    card->setHostileNames(true);
    EXPECT_GE(count(), 8);
    std::set<std::string> names;
    for (const SimEntry& e : card->list("/DCIM/100OLYMP"))
        names.insert(e.name);
    for (const char* n : { "../evil.JPG", "/etc/passwd", "a\\b.JPG", ".", ".." })
        EXPECT_TRUE(names.count(n)) << n;
    EXPECT_EQ(card->dcfFileCount(), 30);
    card->setHostileNames(false);
    EXPECT_EQ(count(), 0);
    EXPECT_FALSE(card->find("/DCIM/100OLYMP/../evil.JPG"));
}

TEST(SimCard, ServesARealFolderTree)
{
    EXPECT_EQ(SimCard::fromDirectory("/nonexistent/lumivar"), nullptr);
    for (const char* layout : { "DCIM/100OLYMP", "101OLYMP" }) {
        QTemporaryDir tmp;
        ASSERT_TRUE(tmp.isValid());
        const std::string folder = tmp.path().toStdString() + "/" + layout;
        std::filesystem::create_directories(folder);
        const std::string picture = SimJpeg::still(640, 480, 1, 90);
        std::ofstream(folder + "/P1010001.JPG", std::ios::binary) << picture;
        std::ofstream(folder + "/P1010002.ORF", std::ios::binary) << "raw bytes";
        auto card = SimCard::fromDirectory(tmp.path().toStdString());
        ASSERT_NE(card, nullptr) << layout;
        const auto folders = card->list("/DCIM");
        ASSERT_EQ(folders.size(), 1u);
        const std::string dir = "/DCIM/" + folders[0].name;
        const auto files = card->list(dir);
        ASSERT_EQ(files.size(), 2u);
        EXPECT_EQ(readAll(*card, dir + "/P1010001.JPG"), picture);
        EXPECT_EQ(readAll(*card, dir + "/P1010002.ORF"), "raw bytes");
        EXPECT_EQ(jpegSize(card->thumbnail(dir + "/P1010001.JPG")), std::pair(160, 120));
        EXPECT_EQ(card->newestJpegPath(), dir + "/P1010001.JPG");
        EXPECT_EQ(card->dcfFileCount(), 2);
    }
    QTemporaryDir empty;
    EXPECT_EQ(SimCard::fromDirectory(empty.path().toStdString()), nullptr) << "no DCIM and no DCF folder";
}

TEST(SimCard, ConcurrentRequestsSeeConsistentContent)
{
    TestClock clock;
    auto card = SimCard::generate(60, 21, clock, baseShot());
    const auto files = allFiles(*card);
    std::vector<std::string> jpegs;
    for (const SimEntry& e : files)
        if (e.name.ends_with(".JPG"))
            jpegs.push_back(e.dir + "/" + e.name);
    ASSERT_GE(jpegs.size(), 3u);
    const std::string reference = readAll(*card, jpegs[0]);
    std::atomic<int> mismatches { 0 };
    std::vector<std::thread> workers;
    for (int w = 0; w < 3; ++w)
        workers.emplace_back([&, w] {
            for (int i = 0; i < 6; ++i) {
                if (readAll(*card, jpegs[0]) != reference)
                    ++mismatches;
                if (card->thumbnail(jpegs[size_t(i + w) % jpegs.size()]).empty())
                    ++mismatches;
            }
        });
    workers.emplace_back([&] {
        for (int i = 0; i < 10; ++i) {
            card->addShot("RAW+LF", clock, baseShot());
            card->setHostileNames(i % 2 == 0);
            (void)card->list("/DCIM/100OLYMP");
        }
    });
    for (auto& t : workers)
        t.join();
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(card->dcfFileCount(), 80);
}
