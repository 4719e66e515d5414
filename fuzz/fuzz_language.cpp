// Feeds arbitrary bytes to the language file reader, as a file of the Languages folder would.
#include "base/TLanguageFile.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    TLanguageFile file;
    file.Parse(bytes, QStringLiteral("fuzz.txt"));
    // Touch what the program reads after a load.
    (void)file.LanguageName().size();
    (void)file.Texts().size();
    return 0;
}
