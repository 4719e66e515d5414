#include "sim/SimCard.h"

#include "sim/SimClock.h"

namespace camsim {

struct SimCard::Impl
{
};

SimCard::SimCard()
    : d(std::make_unique<Impl>())
{ }

SimCard::~SimCard() = default;

std::unique_ptr<SimCard> SimCard::generate(int, uint32_t, const SimClock&, const SimShotInfo&)
{
    return std::make_unique<SimCard>();
}

std::unique_ptr<SimCard> SimCard::fromDirectory(const std::string&)
{
    return nullptr;
}

std::vector<SimEntry> SimCard::list(const std::string&) const
{
    return {};
}

std::optional<SimEntry> SimCard::find(const std::string&) const
{
    return std::nullopt;
}

size_t SimCard::read(const std::string&, uint64_t, char*, size_t) const
{
    return 0;
}

std::string SimCard::thumbnail(const std::string&) const
{
    return {};
}

std::string SimCard::screennail(const std::string&) const
{
    return {};
}

int SimCard::moviePlayTimeSeconds(const std::string&) const
{
    return -1;
}

std::vector<SimEntry> SimCard::addShot(const std::string&, const SimClock&, const SimShotInfo&)
{
    return {};
}

std::string SimCard::newestJpegPath() const
{
    return {};
}

uint64_t SimCard::unusedCapacity() const
{
    return 0;
}

int SimCard::dcfFileCount() const
{
    return 0;
}

void SimCard::setHostileNames(bool) { }

} // namespace camsim
