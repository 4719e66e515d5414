// Camera answers are untrusted bytes: the reader may refuse them with its own
// exceptions, but must never crash, hang or throw anything else.
#include "camera/TOIShare.h"
#include "camera/TXMLLib.h"
#include "camera/XMLExceptions.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    {
        TXMLLib xml;
        try {
            xml.Load(bytes);
            // Whatever was read can be written and read back.
            if (xml.Root()) {
                const QByteArray saved = xml.Root()->SaveToBytes();
                TXMLLib again;
                again.Load(saved);
            }
        } catch (const EXMLLibException&) { }
    }
    TOIShare share;
    share.LoadFromBytes(bytes);
    return 0;
}
