// Feeds arbitrary bytes to the simulator's reading of a camera-answer dump: the zip's end record,
// directory and entries, then the index and the answers it names.
#include "sim/SimReplay.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    camsim::SimReplay replay; // never started: loading sends and binds nothing
    replay.load(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
