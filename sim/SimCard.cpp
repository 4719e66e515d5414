#include "sim/SimCard.h"

#include "sim/SimClock.h"
#include "sim/SimExif.h"
#include "sim/SimJpeg.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <list>
#include <mutex>
#include <random>
#include <sys/stat.h>

namespace camsim {

namespace fs = std::filesystem;

namespace {

enum class Kind { Jpeg, Raw, Movie, HostFile, Junk };

constexpr int kJpegWidth = 1280, kJpegHeight = 960;
constexpr int kRawWidth = 4640, kRawHeight = 3472;
constexpr int kScreennailWidth = 1024, kScreennailHeight = 768;
constexpr uint64_t kCardCapacity = 64ull << 30;
constexpr uint64_t kMinimumFree = 16ull << 30; // a generated card is never full
constexpr uint64_t kMovieBytesPerSecond = 3'000'000; // about 24 Mbit/s, Full HD Fine
constexpr size_t kCacheEntries = 12;

struct FileRec
{
    SimEntry entry;
    Kind kind = Kind::Jpeg;
    uint32_t seed = 0; // shared by the files of one shot, so a pair shows the same picture
    SimShotInfo shot {};
    LocalTime taken {};
    std::string hostPath;
    bool hostile = false;
};

struct FolderRec
{
    SimEntry entry;
    std::vector<size_t> files; // indices into Impl::files, card order
};

uint16_t fatDate(const LocalTime& t)
{
    return uint16_t(((t.year - 1980) << 9) | (t.month << 5) | t.day);
}

uint16_t fatTime(const LocalTime& t)
{
    return uint16_t((t.hour << 11) | (t.minute << 5) | (t.second / 2));
}

char monthLetter(int month)
{
    return month < 10 ? char('0' + month) : char('A' + month - 10);
}

std::string dcfName(const LocalTime& t, int number, const char* ext)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "P%c%02d%04d.%s", monthLetter(t.month), t.day, number, ext);
    return buf;
}

std::string folderName(int folderNumber)
{
    return std::to_string(folderNumber) + "OLYMP";
}

bool iequals(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::string trimSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

uint64_t splitmix(uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Incompressible filler that is the same for the same file and offset, so repeated and ranged
// downloads agree without storing anything.
void fillNoise(uint32_t seed, uint64_t offset, char* buf, size_t len)
{
    const uint64_t key = uint64_t(seed) << 32;
    size_t i = 0;
    while (i < len) {
        const uint64_t pos = offset + i;
        const uint64_t word = splitmix(key ^ (pos >> 3));
        const size_t in = size_t(pos & 7);
        const size_t n = std::min(len - i, 8 - in);
        for (size_t k = 0; k < n; ++k)
            buf[i + k] = char((word >> (8 * (in + k))) & 0xFF);
        i += n;
    }
}

// Copies the part of [pieceStart, pieceStart + piece.size()) that overlaps the request.
void copyPiece(std::string_view piece, uint64_t pieceStart, uint64_t offset, char* buf, size_t len)
{
    const uint64_t end = offset + len, pieceEnd = pieceStart + piece.size();
    const uint64_t from = std::max(offset, pieceStart), to = std::min(end, pieceEnd);
    if (from < to)
        std::memcpy(buf + (from - offset), piece.data() + (from - pieceStart), size_t(to - from));
}

std::string movieHeader(uint64_t size)
{
    // ftyp, then one mdat atom with a 64-bit size covering the rest of the file.
    std::string h("\0\0\0\x14"
                  "ftypqt  \0\0\0\0qt  ",
        20);
    h += std::string("\0\0\0\x01mdat", 8);
    const uint64_t mdat = size > 20 ? size - 20 : 0;
    for (int i = 7; i >= 0; --i)
        h += char((mdat >> (8 * i)) & 0xFF);
    return h;
}

// Size of padding segment number `k` out of `total` bytes of padding (APP9 segments of at most
// 65537 bytes each, none shorter than its 4-byte header).
struct PadLayout
{
    uint64_t total;
    static constexpr uint64_t kFull = 65537;
    uint64_t count() const { return total / kFull + (total % kFull ? 1 : 0); }
    uint64_t sizeOf(uint64_t k) const
    {
        const uint64_t full = total / kFull, r = total % kFull;
        if (r == 0 || r >= 4)
            return k < full ? kFull : r;
        // a remainder below 4 bytes: borrow 4 bytes from the last full segment
        if (k + 1 < full)
            return kFull;
        return k + 1 == full ? kFull - 4 : r + 4;
    }
};

void copyPadding(uint64_t total, uint64_t padStart, uint64_t offset, char* buf, size_t len)
{
    if (total == 0)
        return;
    const uint64_t end = offset + len;
    const uint64_t from = std::max(offset, padStart), to = std::min(end, padStart + total);
    if (from >= to)
        return;
    std::memset(buf + (from - offset), 0, size_t(to - from));
    PadLayout layout { total };
    uint64_t at = padStart;
    for (uint64_t k = 0; k < layout.count() && at < to; ++k) {
        const uint64_t size = layout.sizeOf(k);
        const uint64_t length = size - 2;
        const char header[4] = { char(0xFF), char(0xE9), char((length >> 8) & 0xFF), char(length & 0xFF) };
        copyPiece(std::string_view(header, 4), at, offset, buf, len);
        at += size;
    }
}

LocalTime localFromSeconds(int64_t secondsSinceEpoch)
{
    const std::chrono::sys_seconds t { std::chrono::seconds(secondsSinceEpoch) };
    const auto days = std::chrono::floor<std::chrono::days>(t);
    const std::chrono::year_month_day ymd(days);
    const std::chrono::hh_mm_ss hms(t - days);
    return { int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day())), int(hms.hours().count()),
        int(hms.minutes().count()), int(hms.seconds().count()) };
}

int64_t secondsFromLocal(const LocalTime& t)
{
    const auto days = std::chrono::sys_days(std::chrono::year(t.year) / t.month / t.day);
    return days.time_since_epoch().count() * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

bool isDcfFolderName(const std::string& name)
{
    return name.size() == 8 && std::isdigit(static_cast<unsigned char>(name[0]))
        && std::isdigit(static_cast<unsigned char>(name[1]))
        && std::isdigit(static_cast<unsigned char>(name[2]));
}

std::string upperExt(const std::string& name)
{
    const size_t dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    for (char& c : ext)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return ext;
}

} // namespace

struct SimCard::Impl
{
    mutable std::mutex mutex;
    std::vector<FileRec> files;
    std::vector<FolderRec> folders;
    bool hostile = false;
    bool fromHost = false;
    std::string hostRoot;
    int nextNumber = 1;

    mutable std::mutex cacheMutex;
    mutable std::list<std::pair<std::string, std::shared_ptr<const std::string>>> cache; // newest first

    std::shared_ptr<const std::string> cached(const std::string& key) const
    {
        std::lock_guard lock(cacheMutex);
        for (auto it = cache.begin(); it != cache.end(); ++it)
            if (it->first == key) {
                cache.splice(cache.begin(), cache, it);
                return it->second;
            }
        return nullptr;
    }

    std::shared_ptr<const std::string> store(const std::string& key, std::string value) const
    {
        auto ptr = std::make_shared<const std::string>(std::move(value));
        std::lock_guard lock(cacheMutex);
        cache.emplace_front(key, ptr);
        while (cache.size() > kCacheEntries)
            cache.pop_back();
        return ptr;
    }

    // Encoded picture of a generated JPEG without its padding.
    std::shared_ptr<const std::string> jpegCore(const FileRec& f) const
    {
        const std::string key = "core:" + std::to_string(f.seed) + ":" + f.entry.dir + "/" + f.entry.name;
        if (auto hit = cached(key))
            return hit;
        return store(key,
            SimJpeg::still(kJpegWidth, kJpegHeight, f.seed, 90,
                SimExif::app1(f.shot, f.taken, kJpegWidth, kJpegHeight)));
    }

    // A copy of the file's record when it is a picture (a JPEG or a raw file).
    std::optional<FileRec> pictureFile(const std::string& path) const
    {
        std::lock_guard lock(mutex);
        const FileRec* found = findLocked(path);
        if (!found || found->entry.attr & 16 || found->kind == Kind::Junk || found->kind == Kind::Movie)
            return std::nullopt;
        return *found;
    }

    // The whole file, if it is a JPEG on the host.
    std::string hostJpeg(const SimCard& card, const FileRec& f, const std::string& path) const
    {
        const std::string ext = upperExt(f.entry.name);
        if (f.kind != Kind::HostFile || (ext != "JPG" && ext != "JPEG"))
            return {};
        std::string bytes(f.entry.size, '\0');
        return card.read(path, 0, bytes.data(), bytes.size()) == bytes.size() ? bytes : std::string();
    }

    const FileRec* findLocked(const std::string& path) const
    {
        const std::string p = trimSlashes(path);
        const size_t slash = p.rfind('/');
        if (slash == std::string::npos)
            return nullptr;
        const std::string dir = p.substr(0, slash), name = p.substr(slash + 1);
        for (const FileRec& f : files) {
            if (f.hostile && !hostile)
                continue;
            if (iequals(f.entry.name, name) && iequals(f.entry.dir, dir))
                return &f;
            if (f.hostile && p == f.entry.dir + "/" + f.entry.name)
                return &f;
        }
        return nullptr;
    }

    FolderRec& folderFor(int folderNumber, const LocalTime& t)
    {
        const std::string name = folderName(folderNumber);
        for (FolderRec& folder : folders)
            if (folder.entry.name == name)
                return folder;
        FolderRec folder;
        folder.entry = { "/DCIM", name, 0, 16, fatDate(t), fatTime(t) };
        folders.push_back(folder);
        return folders.back();
    }

    int currentFolderNumber() const
    {
        return folders.empty() ? 100 : std::stoi(folders.back().entry.name.substr(0, 3));
    }

    void addFile(FolderRec& folder, FileRec rec)
    {
        rec.entry.dir = "/DCIM/" + folder.entry.name;
        folder.files.push_back(files.size());
        files.push_back(std::move(rec));
    }

    // Adds the files of one shot with the given number; returns their entries.
    std::vector<SimEntry> addShotFiles(bool jpeg, bool raw, bool movie, const LocalTime& t,
        const SimShotInfo& shot, uint32_t seed, std::mt19937& rng, uint64_t movieSize)
    {
        int folderNumber = currentFolderNumber();
        if (nextNumber > 9999) {
            nextNumber = 1;
            ++folderNumber;
        }
        FolderRec& folder = folderFor(folderNumber, t);
        const int number = nextNumber++;
        std::vector<SimEntry> added;
        auto make = [&](Kind kind, const char* ext, uint64_t size) {
            FileRec rec;
            rec.kind = kind;
            rec.seed = seed;
            rec.shot = shot;
            rec.taken = t;
            rec.entry = { "", dcfName(t, number, ext), size, 0, fatDate(t), fatTime(t) };
            addFile(folder, rec);
            added.push_back(files.back().entry);
        };
        // The cameras list the raw file of a pair before its JPEG.
        if (movie)
            make(Kind::Movie, "MOV", movieSize);
        if (raw)
            make(Kind::Raw, "ORF", 13'500'000 + rng() % 2'600'000);
        if (jpeg)
            make(Kind::Jpeg, "JPG", 2'400'000 + rng() % 5'200'000); // the picture itself is far smaller
        return added;
    }

    void addHostileEntries()
    {
        if (folders.empty())
            return;
        const FolderRec& first = folders.front();
        const std::string dir = "/DCIM/" + first.entry.name;
        const uint16_t d = first.entry.date, t = first.entry.time;
        const std::vector<std::pair<std::string, std::string>> names {
            { dir, "../evil.JPG" },
            { dir, "..\\..\\evil.JPG" },
            { dir, "/etc/passwd" },
            { dir, "a\\b.JPG" },
            { dir, "C:\\evil.JPG" },
            { dir, std::string("bell\a\x1b[2J.JPG") },
            { dir, "new\nline.JPG" },
            { dir, "." },
            { dir, ".." },
            { "/DCIM", ".." },
            { "/DCIM", "." },
            { "/DCIM", "../../tmp" },
        };
        uint32_t n = 0;
        for (const auto& [where, name] : names) {
            FileRec rec;
            rec.kind = Kind::Junk;
            rec.hostile = true;
            rec.seed = 0xBAD0000 + n++;
            const bool folderLike = where == "/DCIM" || name == "." || name == "..";
            rec.entry = { where, name, folderLike ? 0 : 4096u, folderLike ? 16 : 0, d, t };
            files.push_back(rec);
        }
    }
};

SimCard::SimCard()
    : d(std::make_unique<Impl>())
{ }

SimCard::~SimCard() = default;

std::unique_ptr<SimCard> SimCard::generate(
    int fileCount, uint32_t seed, const SimClock& clock, const SimShotInfo& base)
{
    auto card = std::make_unique<SimCard>();
    Impl& d = *card->d;
    std::mt19937 rng(seed);

    // Lay the shots out in sessions on a time axis first; the newest session ends the day before the
    // clock's date, so a fresh take is always the newest file.
    struct Plan
    {
        int64_t at;
        bool jpeg, raw, movie;
        uint64_t movieSize;
    };
    std::vector<Plan> plan;
    int64_t at = 0;
    int files = 0;
    bool bigMovieDone = false;
    while (files < fileCount) {
        at += int64_t(1 + rng() % 20) * 86400 + int64_t(rng() % 3600);
        const int shots = 4 + int(rng() % 30);
        for (int s = 0; s < shots && files < fileCount; ++s) {
            at += 2 + rng() % 90;
            const unsigned r = rng() % 100;
            Plan p { at, true, false, false, 0 };
            if (r < 50)
                p.raw = true;
            else if (r < 60)
                p = { at, false, true, false, 0 };
            else if (r < 66) {
                p = { at, false, false, true, 0 };
                // Keep sizes below the FAT32 limit; the first movie is always beyond 2 GiB.
                p.movieSize = bigMovieDone ? 80'000'000 + uint64_t(rng()) % 4'000'000'000ull
                                           : 3'500'000'000ull + rng() % 700'000'000;
                bigMovieDone = true;
                at += int64_t(p.movieSize / kMovieBytesPerSecond);
            }
            if (p.jpeg && p.raw && fileCount - files == 1)
                p.raw = false;
            files += int(p.jpeg) + int(p.raw) + int(p.movie);
            plan.push_back(p);
        }
    }
    const LocalTime now = clock.localNow();
    const int64_t today = secondsFromLocal({ now.year, now.month, now.day, 0, 0, 0 });
    const int64_t anchor = today - 86400 + 18 * 3600 - (plan.empty() ? 0 : plan.back().at);

    std::lock_guard lock(d.mutex);
    static const double exposures[]
        = { 1.0 / 1000, 1.0 / 500, 1.0 / 250, 1.0 / 125, 1.0 / 60, 1.0 / 30, 0.5, 2 };
    static const double apertures[] = { 3.5, 4.0, 5.6, 8.0, 11.0 };
    static const int isos[] = { 200, 400, 800, 1600, 3200 };
    for (const Plan& p : plan) {
        SimShotInfo shot = base;
        shot.exposureSeconds = exposures[rng() % 8];
        shot.fNumber = apertures[rng() % 5];
        shot.iso = isos[rng() % 5];
        shot.exposureBias = (int(rng() % 7) - 3) / 3.0;
        shot.focalLength = 14 + int(rng() % 29);
        shot.orientation = rng() % 6 == 0 ? (rng() % 2 ? 6 : 8) : 1;
        const uint32_t shotSeed = uint32_t(rng());
        d.addShotFiles(
            p.jpeg, p.raw, p.movie, localFromSeconds(anchor + p.at), shot, shotSeed, rng, p.movieSize);
    }
    d.addHostileEntries();
    return card;
}

std::unique_ptr<SimCard> SimCard::fromDirectory(const std::string& dir)
{
    std::error_code ec;
    const fs::path root(dir);
    if (!fs::is_directory(root, ec))
        return nullptr;
    std::vector<fs::path> folderPaths;
    const fs::path dcim = root / "DCIM";
    const bool hasDcim = fs::is_directory(dcim, ec);
    for (const auto& item : fs::directory_iterator(hasDcim ? dcim : root, ec)) {
        const std::string name = item.path().filename().string();
        if (item.is_directory(ec) && (hasDcim || isDcfFolderName(name)))
            folderPaths.push_back(item.path());
    }
    if (ec || (!hasDcim && folderPaths.empty()))
        return nullptr;
    std::sort(folderPaths.begin(), folderPaths.end());

    auto card = std::make_unique<SimCard>();
    Impl& d = *card->d;
    d.fromHost = true;
    d.hostRoot = dir;
    auto localOf = [](const fs::path& path) {
        struct stat st
        {
        };
        const std::time_t tt = ::stat(path.c_str(), &st) == 0 ? st.st_mtime : 0;
        std::tm tm {};
        localtime_r(&tt, &tm);
        return LocalTime { std::max(1980, tm.tm_year + 1900), tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
            tm.tm_min, tm.tm_sec };
    };
    uint32_t seed = 1;
    for (const fs::path& folderPath : folderPaths) {
        FolderRec folder;
        const LocalTime ft = localOf(folderPath);
        folder.entry = { "/DCIM", folderPath.filename().string(), 0, 16, fatDate(ft), fatTime(ft) };
        std::vector<std::pair<LocalTime, fs::path>> items;
        for (const auto& item : fs::directory_iterator(folderPath, ec))
            if (item.is_regular_file(ec))
                items.emplace_back(localOf(item.path()), item.path());
        // Card order is the order in which the files were written.
        std::sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
            return std::pair(secondsFromLocal(a.first), a.second)
                < std::pair(secondsFromLocal(b.first), b.second);
        });
        d.folders.push_back(folder);
        for (const auto& [when, path] : items) {
            FileRec rec;
            rec.kind = Kind::HostFile;
            rec.hostPath = path.string();
            rec.seed = seed++;
            rec.taken = when;
            rec.shot.orientation = 1;
            rec.entry = { "", path.filename().string(), uint64_t(fs::file_size(path, ec)), 0,
                fatDate(rec.taken), fatTime(rec.taken) };
            d.addFile(d.folders.back(), rec);
        }
    }
    d.addHostileEntries();
    return card;
}

std::vector<SimEntry> SimCard::list(const std::string& dir) const
{
    const std::string p = trimSlashes(dir);
    std::lock_guard lock(d->mutex);
    std::vector<SimEntry> out;
    auto hostileIn = [&](const std::string& where) {
        for (const FileRec& f : d->files)
            if (f.hostile && d->hostile && f.entry.dir == where)
                out.push_back(f.entry);
    };
    if (iequals(p, "/DCIM")) {
        for (const FolderRec& folder : d->folders)
            out.push_back(folder.entry);
        hostileIn("/DCIM");
        return out;
    }
    for (const FolderRec& folder : d->folders) {
        if (!iequals(p, "/DCIM/" + folder.entry.name))
            continue;
        for (size_t index : folder.files) {
            out.push_back(d->files[index].entry);
            if (out.size() == 1)
                hostileIn("/DCIM/" + folder.entry.name); // among the real entries, not neatly at the end
        }
    }
    return out;
}

std::optional<SimEntry> SimCard::find(const std::string& path) const
{
    std::lock_guard lock(d->mutex);
    if (const FileRec* f = d->findLocked(path))
        return f->entry;
    const std::string p = trimSlashes(path);
    for (const FolderRec& folder : d->folders)
        if (iequals(p, "/DCIM/" + folder.entry.name))
            return folder.entry;
    return std::nullopt;
}

size_t SimCard::read(const std::string& path, uint64_t offset, char* buf, size_t len) const
{
    FileRec f;
    {
        std::lock_guard lock(d->mutex);
        const FileRec* found = d->findLocked(path);
        if (!found || found->entry.attr & 16)
            return 0;
        f = *found;
    }
    const uint64_t size = f.entry.size;
    if (offset >= size || len == 0)
        return 0;
    len = size_t(std::min<uint64_t>(len, size - offset));
    switch (f.kind) {
    case Kind::HostFile: {
        std::ifstream in(f.hostPath, std::ios::binary);
        if (!in.seekg(std::streamoff(offset)))
            return 0;
        in.read(buf, std::streamsize(len));
        return size_t(in.gcount());
    }
    case Kind::Jpeg: {
        const auto core = d->jpegCore(f);
        if (core->size() < 6)
            return 0;
        if (core->size() + 8 > size) { // listed sizes are far larger than the picture; never expected
            copyPiece(std::string_view(*core).substr(0, size_t(size)), 0, offset, buf, len);
            return len;
        }
        // SOI and Exif first, then padding segments up to the listed size, then the picture itself.
        const size_t app1 = 4 + ((size_t(uint8_t((*core)[4])) << 8) | uint8_t((*core)[5]));
        const std::string_view head(core->data(), app1), tail(core->data() + app1, core->size() - app1);
        const uint64_t pad = size - core->size();
        copyPiece(head, 0, offset, buf, len);
        copyPadding(pad, app1, offset, buf, len);
        copyPiece(tail, app1 + pad, offset, buf, len);
        return len;
    }
    case Kind::Raw:
    case Kind::Movie:
    case Kind::Junk: {
        std::string header;
        if (f.kind == Kind::Raw && offset < SimExif::OrfDataOffset)
            header = SimExif::orfHeader(f.shot, f.taken, kRawWidth, kRawHeight);
        else if (f.kind == Kind::Movie)
            header = movieHeader(size);
        fillNoise(f.seed, offset, buf, len);
        copyPiece(header, 0, offset, buf, len);
        return len;
    }
    }
    return 0;
}

std::string SimCard::thumbnail(const std::string& path) const
{
    FileRec f;
    {
        std::lock_guard lock(d->mutex);
        const FileRec* found = d->findLocked(path);
        if (!found || found->entry.attr & 16 || found->kind == Kind::Junk)
            return {};
        f = *found;
    }
    const std::string key = "thumb:" + f.entry.dir + "/" + f.entry.name;
    if (auto hit = d->cached(key))
        return *hit;
    std::string jpeg;
    if (f.kind == Kind::HostFile) {
        const std::string ext = upperExt(f.entry.name);
        if (ext == "JPG" || ext == "JPEG") {
            std::string bytes(f.entry.size, '\0');
            if (read(path, 0, bytes.data(), bytes.size()) == bytes.size())
                jpeg = SimJpeg::scaled(bytes, 160, 120, 80);
        }
        if (jpeg.empty())
            jpeg = SimJpeg::still(160, 120, f.seed, 80);
    } else {
        const bool portrait = f.shot.orientation == 6 || f.shot.orientation == 8;
        jpeg = SimJpeg::still(portrait ? 120 : 160, portrait ? 160 : 120, f.seed, 80);
    }
    return *d->store(key, std::move(jpeg));
}

std::string SimCard::screennail(const std::string& path) const
{
    const std::optional<FileRec> f = d->pictureFile(path);
    if (!f)
        return {};
    const std::string key = "screen:" + f->entry.dir + "/" + f->entry.name;
    if (auto hit = d->cached(key))
        return *hit;
    std::string jpeg;
    if (f->kind == Kind::HostFile) {
        const std::string bytes = d->hostJpeg(*this, *f, path);
        if (!bytes.empty())
            jpeg = SimJpeg::scaled(bytes, kScreennailWidth, kScreennailHeight, 85);
    } else {
        const bool portrait = f->shot.orientation == 6 || f->shot.orientation == 8;
        jpeg = SimJpeg::still(portrait ? kScreennailHeight : kScreennailWidth,
            portrait ? kScreennailWidth : kScreennailHeight, f->seed, 85);
    }
    if (jpeg.empty())
        return {};
    return *d->store(key, std::move(jpeg));
}

std::string SimCard::resized(const std::string& path, int longSide) const
{
    const std::optional<FileRec> f = d->pictureFile(path);
    if (!f || longSide <= 0)
        return {};
    const std::string key = "resize" + std::to_string(longSide) + ":" + f->entry.dir + "/" + f->entry.name;
    if (auto hit = d->cached(key))
        return *hit;
    std::string jpeg;
    if (f->kind == Kind::HostFile) {
        // The stored picture, scaled with its own aspect ratio.
        const std::string bytes = d->hostJpeg(*this, *f, path);
        int width = 0, height = 0;
        if (!bytes.empty() && SimJpeg::dimensions(bytes, &width, &height)) {
            const bool wide = width >= height;
            const int shortSide
                = int(std::lround(double(longSide) * std::min(width, height) / std::max(width, height)));
            jpeg = SimJpeg::scaled(bytes, wide ? longSide : shortSide, wide ? shortSide : longSide, 85);
        }
    } else {
        // A generated picture is drawn at the size asked for, 4:3 as the sensor.
        const bool portrait = f->shot.orientation == 6 || f->shot.orientation == 8;
        const int shortSide = longSide * 3 / 4;
        jpeg = SimJpeg::still(portrait ? shortSide : longSide, portrait ? longSide : shortSide, f->seed, 85);
    }
    if (jpeg.empty())
        return {};
    return *d->store(key, std::move(jpeg));
}

int SimCard::moviePlayTimeSeconds(const std::string& path) const
{
    std::lock_guard lock(d->mutex);
    const FileRec* f = d->findLocked(path);
    if (!f)
        return -1;
    const std::string ext = upperExt(f->entry.name);
    if (f->kind != Kind::Movie
        && !(f->kind == Kind::HostFile && (ext == "MOV" || ext == "AVI" || ext == "MP4")))
        return -1;
    return int(std::max<uint64_t>(1, f->entry.size / kMovieBytesPerSecond));
}

std::vector<SimEntry> SimCard::addShot(
    const std::string& quality, const SimClock& clock, const SimShotInfo& info)
{
    std::string q;
    for (char c : quality)
        q += char(std::toupper(static_cast<unsigned char>(c)));
    const bool movie = q == "MOV" || q == "MOVIE";
    const bool raw = !movie && q.find("RAW") != std::string::npos;
    const bool jpeg = !movie && (!raw || q.find('+') != std::string::npos);
    const LocalTime now = clock.localNow();
    std::lock_guard lock(d->mutex);
    std::mt19937 rng(uint32_t(d->files.size() * 2654435761u) ^ uint32_t(secondsFromLocal(now)));
    const uint32_t seed = uint32_t(rng());
    return d->addShotFiles(
        jpeg, raw, movie, now, info, seed, rng, 30 * kMovieBytesPerSecond + rng() % 1'000'000);
}

std::string SimCard::newestJpegPath() const
{
    std::lock_guard lock(d->mutex);
    for (auto it = d->files.rbegin(); it != d->files.rend(); ++it)
        if (!it->hostile && upperExt(it->entry.name) == "JPG")
            return it->entry.dir + "/" + it->entry.name;
    return {};
}

uint64_t SimCard::unusedCapacity() const
{
    std::lock_guard lock(d->mutex);
    if (d->fromHost) {
        std::error_code ec;
        const auto space = fs::space(d->hostRoot, ec);
        return ec ? 0 : uint64_t(space.available);
    }
    uint64_t used = 0;
    for (const FileRec& f : d->files)
        if (!f.hostile)
            used += f.entry.size;
    return std::max(kCardCapacity, used + kMinimumFree) - used;
}

int SimCard::dcfFileCount() const
{
    std::lock_guard lock(d->mutex);
    return int(std::count_if(d->files.begin(), d->files.end(), [](const FileRec& f) { return !f.hostile; }));
}

void SimCard::setHostileNames(bool on)
{
    std::lock_guard lock(d->mutex);
    d->hostile = on;
}

void SimCard::setNextFileNumber(int number)
{
    std::lock_guard lock(d->mutex);
    d->nextNumber = std::clamp(number, 1, 10000);
}

} // namespace camsim
