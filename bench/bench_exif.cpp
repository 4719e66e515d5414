// Reading the fixture pictures' EXIF and maker-note information: our reader against libexiv2 in the same
// process (open + readMetadata, and with every value printed as "exiv2 -pa" does). Each iteration reads
// every fixture file once; items are files.
#include "exif/TExif.h"
#include "exif/TExifReader.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QStringList>

#include <string>
#include <vector>

// Linking the imported exiv2lib target defines EXV_LOCALEDIR; without it the comparison is left out.
#if defined(EXV_LOCALEDIR)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations" // exiv2 0.27 still hands out std::auto_ptr
#include <exiv2/exiv2.hpp>
#include <sstream>
#define LUMIVAR_BENCH_EXIV2 1
#endif

namespace {

QStringList fixtureFiles()
{
    const QDir dir(QStringLiteral(LUMIVAR_FIXTURES_DIR "/exif"));
    QStringList files;
    for (const QString& name : dir.entryList({ QStringLiteral("*.jpg") }, QDir::Files, QDir::Name))
        files << dir.filePath(name);
    return files;
}

void BM_ExifLumivar(benchmark::State& state)
{
    const QStringList files = fixtureFiles();
    qsizetype rows = 0;
    for (auto _ : state) {
        for (const QString& file : files) {
            TExif exif;
            if (exif.LoadFromFile(file)) {
                QList<TExifRowSection> list;
                TExifRect frame;
                QList<TExifRect> faces;
                TExifReader::Fill(list, exif, frame, faces);
                rows += list.size();
            }
        }
    }
    benchmark::DoNotOptimize(rows);
    state.SetItemsProcessed(state.iterations() * files.size());
}
BENCHMARK(BM_ExifLumivar)->Unit(benchmark::kMicrosecond);

#ifdef LUMIVAR_BENCH_EXIV2
std::vector<std::string> fixturePaths()
{
    std::vector<std::string> paths;
    for (const QString& file : fixtureFiles())
        paths.push_back(file.toStdString());
    return paths;
}

// state.range(0) == 1: also print every Exif value as "exiv2 -pa" does.
void BM_ExifExiv2(benchmark::State& state)
{
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    const std::vector<std::string> paths = fixturePaths();
    const bool print = state.range(0) == 1;
    size_t printed = 0;
    for (auto _ : state) {
        for (const std::string& path : paths) {
            try {
                Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path);
                image->readMetadata();
                if (print) {
                    std::ostringstream out;
                    for (const Exiv2::Exifdatum& datum : image->exifData())
                        out << datum.key() << ' ' << datum.typeName() << ' ' << datum.count() << ' ' << datum
                            << '\n';
                    printed += out.str().size();
                }
            } catch (const Exiv2::AnyError&) { }
        }
    }
    benchmark::DoNotOptimize(printed);
    state.SetItemsProcessed(state.iterations() * int64_t(paths.size()));
}
BENCHMARK(BM_ExifExiv2)->Arg(0)->Arg(1)->ArgName("printAll")->Unit(benchmark::kMicrosecond);
#pragma GCC diagnostic pop
#endif

} // namespace
