#include "ExifCommand.h"

#include "CliContext.h"
#include "exif/TExif.h"
#include "exif/TExifReader.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include <cstdio>
#include <memory>

namespace {

QJsonArray rectJson(const TExifRect& r)
{
    return QJsonArray { r.Left, r.Top, r.Right, r.Bottom };
}

QString rectText(const TExifRect& r)
{
    return QStringLiteral("%1, %2, %3, %4").arg(r.Left).arg(r.Top).arg(r.Right).arg(r.Bottom);
}

struct FileResult
{
    bool Ok = false;
    QList<TExifRowSection> Sections;
    TExifRect Focus;
    QList<TExifRect> Faces;
    QList<QPair<QString, QString>> Properties;
};

FileResult readFile(const QString& fileName, bool withProperties)
{
    FileResult result;
    // The reader holds a few hundred texts; keep it off the stack.
    const auto exif = std::make_unique<TExif>();
    result.Ok = exif->LoadFromFile(fileName);
    if (result.Ok)
        TExifReader::Fill(result.Sections, *exif, result.Focus, result.Faces);
    if (withProperties)
        exif->ExifData().CollectProperties(result.Properties);
    return result;
}

QJsonObject fileJson(const QString& fileName, const FileResult& r)
{
    QJsonArray sections;
    for (const TExifRowSection& section : r.Sections) {
        // A row as [caption, value]: a two-key object per row cost half again as much to build and
        // write, and repeated the two key names some sixty times a file.
        QJsonArray rows;
        for (const TExifRow& row : section.Rows)
            rows.append(QJsonArray { row.Caption, row.Value });
        sections.append(
            QJsonObject { { QStringLiteral("caption"), section.Caption }, { QStringLiteral("rows"), rows } });
    }
    QJsonArray faces;
    for (const TExifRect& face : r.Faces)
        faces.append(rectJson(face));
    QJsonObject file {
        { QStringLiteral("file"), fileName },
        { QStringLiteral("ok"), r.Ok },
        { QStringLiteral("sections"), sections },
        { QStringLiteral("focus"), rectJson(r.Focus) },
        { QStringLiteral("faces"), faces },
    };
    if (!r.Properties.isEmpty()) {
        QJsonObject properties;
        for (const auto& [name, value] : r.Properties)
            properties.insert(name, value);
        file.insert(QStringLiteral("properties"), properties);
    }
    return file;
}

QString fileText(const QString& fileName, const FileResult& r)
{
    qsizetype width = 0;
    for (const TExifRowSection& section : r.Sections) {
        for (const TExifRow& row : section.Rows)
            width = qMax(width, row.Caption.size());
    }
    QString text = QStringLiteral("== %1\n").arg(fileName);
    for (const TExifRowSection& section : r.Sections) {
        text += section.Caption + u'\n';
        for (const TExifRow& row : section.Rows)
            text += QStringLiteral("  %1  %2\n").arg(row.Caption, -int(width)).arg(row.Value);
    }
    text += QStringLiteral("Focus frame: %1\n")
                .arg(r.Focus == TExifRect() ? QStringLiteral("none") : rectText(r.Focus));
    if (r.Faces.isEmpty())
        text += QStringLiteral("Faces: none\n");
    for (qsizetype i = 0; i < r.Faces.size(); ++i)
        text += QStringLiteral("Face %1: %2\n").arg(i + 1).arg(rectText(r.Faces.at(i)));
    for (const auto& [name, value] : r.Properties)
        text += name + QStringLiteral(": ") + value + u'\n';
    return text;
}

} // namespace

int ExifCommand::run(CliContext& context, const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption all(QStringLiteral("all"),
        QStringLiteral("also every property the reader keeps, by its name (ExifSection.FNumber ...)"));
    parser.addOption(all);
    parser.addPositionalArgument(
        QStringLiteral("FILE"), QStringLiteral("JPEG files"), QStringLiteral("FILE..."));
    if (!parser.parse(QStringList { name() } + arguments))
        return context.usage(parser.errorText());
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return context.usage(QStringLiteral("exif needs at least one FILE"));

    // Text and JSON carry the same information, the list a person reads; --all adds the reader's
    // named properties (some 180 a file, half of them empty) to either. The JSON array is written a
    // file at a time, as the text is: two hundred files in one document tree cost more than reading
    // them.
    const bool withProperties = parser.isSet(all);
    QStringList failed;
    QByteArray json = "[\n";
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString& fileName = files.at(i);
        const FileResult result = readFile(fileName, withProperties);
        if (!result.Ok)
            failed << fileName;
        if (context.json()) {
            json += QJsonDocument(fileJson(fileName, result)).toJson(QJsonDocument::Indented);
            if (json.endsWith('\n'))
                json.chop(1);
            json += i + 1 < files.size() ? ",\n" : "\n";
            if (json.size() > 1 << 20) {
                std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
                json.clear();
            }
        } else if (result.Ok) {
            context.print(fileText(fileName, result));
        }
    }
    if (context.json())
        context.printUtf8(json + "]\n");
    for (const QString& fileName : failed) {
        const QString reason = QFileInfo(fileName).isFile() ? QStringLiteral("no EXIF information in %1")
                                                            : QStringLiteral("cannot read %1");
        context.fail(reason.arg(fileName));
    }
    return failed.isEmpty() ? CliContext::Success : CliContext::Failure;
}
