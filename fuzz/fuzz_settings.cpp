// Feeds arbitrary bytes as the settings store (the INI layout TSetup uses for a store file), then
// loads it and reads back what the program derives from the values.
#include "base/TSetup.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const auto dir = std::make_unique<QTemporaryDir>();
    static const QString path = dir->filePath(QStringLiteral("store.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    TSetup setup;
    setup.SetStoreFile(path);
    setup.Load();
    (void)setup.GetCameraHost();
    (void)setup.GetDownloadDirectory();
    (void)TSetup::IsValidHostAndPort(setup.CameraIP);
    return 0;
}
