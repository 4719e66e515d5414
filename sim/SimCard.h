#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace camsim {

class SimClock;

// dir like "/DCIM" or "/DCIM/100OLYMP"; attr 16 = folder, 0 = file (bits as FAT); date/time FAT-packed
struct SimEntry
{
    std::string dir;
    std::string name;
    uint64_t size = 0;
    int attr = 0;
    uint16_t date = 0, time = 0;
};

struct SimShotInfo
{
    std::string make, model;
    int iso;
    double exposureSeconds, fNumber, exposureBias;
    int focalLength;
    int orientation;
};

// The virtual memory card: generated from a seed or served from a real folder tree.
class SimCard
{
public:
    SimCard();
    ~SimCard();

    static std::unique_ptr<SimCard> generate(
        int fileCount, uint32_t seed, const SimClock& clock, const SimShotInfo& base);
    // real files under DIR (DCF layout), nullptr on error
    static std::unique_ptr<SimCard> fromDirectory(const std::string& dir);

    // direct children in card (unsorted) order
    std::vector<SimEntry> list(const std::string& dir) const;
    // "/DCIM/100OLYMP/PA220001.JPG"
    std::optional<SimEntry> find(const std::string& path) const;
    // streams; generated content on the fly
    size_t read(const std::string& path, uint64_t offset, char* buf, size_t len) const;
    // JPEG 160x120, 120x160 for portrait; "" when none
    std::string thumbnail(const std::string& path) const;
    // larger JPEG; "" when none
    std::string screennail(const std::string& path) const;
    // JPEG of the picture with the given long side, scaled up or down; "" when none
    std::string resized(const std::string& path, int longSide) const;
    // -1 when not a movie
    int moviePlayTimeSeconds(const std::string& path) const;
    // new files with the clock's date and the next number: quality containing "RAW" adds an ORF, "RAW"
    // alone gives only the ORF, "RAW+..." both; "MOV"/"movie" a movie; anything else a JPG
    std::vector<SimEntry> addShot(const std::string& quality, const SimClock& clock, const SimShotInfo& info);
    // "" when the card has none
    std::string newestJpegPath() const;
    uint64_t unusedCapacity() const;
    int dcfFileCount() const;
    // listings then also carry ../, absolute paths, backslashes, control characters
    void setHostileNames(bool on);
    // The number of the next shot; past 9999 the camera opens the next folder and starts at 1.
    void setNextFileNumber(int number);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace camsim
