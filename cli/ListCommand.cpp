#include "ListCommand.h"

#include "CliContext.h"
#include "ModeCommand.h"
#include "camera/TCameraModeAction.h"
#include "camera/TOIShare.h"
#include "import/CameraDateTime.h"
#include "import/FileSizeText.h"
#include "import/TCameraImport.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

QString dateText(const TCameraImportItem& item)
{
    return item.Date.isValid() ? item.Date.toString(Qt::ISODate) : item.DateText;
}

QString timeText(const TCameraImportItem& item)
{
    return item.Time.isValid() ? item.Time.toString(QStringLiteral("HH:mm:ss")) : item.TimeText;
}

QString folderPath(const TCameraImportItem& item)
{
    QString dir = QStringLiteral("/DCIM") + item.Directory;
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    return dir;
}

} // namespace

ListCommand::Card ListCommand::OpenCard(CliContext& context)
{
    Card card;
    TOIShare commandList;
    card.Error = context.loadCommandList(commandList);
    if (!card.Error.isEmpty())
        return card;
    if (!commandList.SupportsFunction(QStringLiteral("web"))) {
        card.Error = QStringLiteral("the camera at %1 offers no picture transfer").arg(context.cameraHost());
        return card;
    }
    // The card is only listed in playback mode; a camera left in recording mode by a remote
    // session answers the lists with an error.
    if (commandList.Functions.Find(QStringLiteral("switch_cammode"))) {
        QString error;
        if (!ModeCommand::EnterMode(context, commandList, TCameraModeAction::ModePlay, error)) {
            card.Error = error;
            return card;
        }
    }
    card.Import = std::make_unique<TCameraImport>(TCameraLink::ToHost(context.cameraHost()));
    if (!card.Import->Probe(commandList)) {
        card.Error = QStringLiteral("could not set up the transfer actions");
        card.Import.reset();
    }
    return card;
}

bool ListCommand::ListFolders(TCameraImport& import, QStringList& folders, QString& error)
{
    if (import.ImageList.Enabled) {
        if (!import.ImageList.Execute(QString())) {
            error = QStringLiteral("could not list /DCIM: %1").arg(import.ImageList.LastError);
            return false;
        }
        import.ImageList.ParseFolders();
        folders = import.ImageList.Folders;
        return true;
    }
    if (!import.DirectoryList.Execute(QString())) {
        error = QStringLiteral("could not read the page /DCIM: %1").arg(import.DirectoryList.LastError);
        return false;
    }
    import.DirectoryList.ParseFolders();
    folders = import.DirectoryList.Folders;
    return true;
}

bool ListCommand::ListFiles(
    TCameraImport& import, const QString& folder, TCameraImportItems& items, QString& error)
{
    const QString path = QLatin1Char('/') + folder;
    items.Clear();
    const bool listing = import.ImageList.Enabled;
    TBaseImportAction& action = listing ? static_cast<TBaseImportAction&>(import.ImageList)
                                        : static_cast<TBaseImportAction&>(import.DirectoryList);
    const bool ok = listing ? import.ImageList.Execute(path) : import.DirectoryList.Execute(path);
    if (!ok) {
        if (action.ResponseCode == 404 && listing)
            return true; // the camera's answer for a folder without files
        error = QStringLiteral("could not list /DCIM%1: %2").arg(path, action.LastError);
        return false;
    }
    if (listing)
        import.ImageList.ParseItems();
    else
        import.DirectoryList.ParseItems();
    items.AssignFrom(&action.Items, true);
    return true;
}

QString ListCommand::FolderName(const QString& argument)
{
    QString name = argument.trimmed();
    while (name.endsWith(QLatin1Char('/')))
        name.chop(1);
    if (name.startsWith(QLatin1String("/DCIM/"), Qt::CaseInsensitive))
        name = name.mid(6);
    while (name.startsWith(QLatin1Char('/')))
        name.remove(0, 1);
    return name;
}

QString ListCommand::Printable(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || (c.unicode() >= 0x80 && c.unicode() < 0xA0))
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

QString ListCommand::UnknownTypes(const QStringList& types)
{
    static const QStringList known { QStringLiteral("JPG"), QStringLiteral("ORF"), QStringLiteral("MOV"),
        QStringLiteral("AVI") };
    QStringList unknown;
    for (const QString& type : types)
        if (!known.contains(type))
            unknown << Printable(type);
    if (unknown.isEmpty())
        return {};
    return QStringLiteral("--type knows %1, not %2")
        .arg(known.join(QStringLiteral(", ")), unknown.join(QStringLiteral(", ")));
}

QJsonObject ListCommand::FileToJson(const TCameraImportItem& item)
{
    const qint64 size = item.Size();
    return QJsonObject { { QStringLiteral("dir"), folderPath(item) },
        { QStringLiteral("name"), item.FileName },
        { QStringLiteral("size"), size >= 0 ? QJsonValue(double(size)) : QJsonValue(item.SizeText) },
        { QStringLiteral("date"), dateText(item) }, { QStringLiteral("time"), timeText(item) } };
}

int ListCommand::run(CliContext& context, const QStringList& arguments)
{
    if (arguments.size() > 1)
        return context.usage(QStringLiteral("list takes at most one FOLDER"));
    if (!arguments.isEmpty() && FolderName(arguments.first()).isEmpty())
        return context.usage(QStringLiteral("list needs a folder name such as 100OLYMP"));
    Card card = OpenCard(context);
    if (!card.Import)
        return context.fail(card.Error);
    QString error;
    if (arguments.isEmpty()) {
        QStringList folders;
        if (!ListFolders(*card.Import, folders, error))
            return context.fail(error);
        if (context.json())
            context.printJson(QJsonDocument(
                QJsonObject { { QStringLiteral("folders"), QJsonArray::fromStringList(folders) } }));
        else
            for (const QString& folder : folders)
                context.print(Printable(folder));
        return CliContext::Success;
    }
    // A folder the card does not have is an error, not an empty folder.
    const QString folder = FolderName(arguments.first());
    QStringList folders;
    if (!ListFolders(*card.Import, folders, error))
        return context.fail(error);
    if (!folders.contains(folder, Qt::CaseInsensitive))
        return context.fail(QStringLiteral("the card has no folder %1 (folders: %2)")
                                .arg(Printable(folder),
                                    folders.isEmpty() ? QStringLiteral("none")
                                                      : Printable(folders.join(QStringLiteral(", ")))));
    TCameraImportItems items;
    if (!ListFiles(*card.Import, folder, items, error))
        return context.fail(error);
    if (context.json()) {
        QJsonArray files;
        for (const TCameraImportItem* item : items)
            files.append(FileToJson(*item));
        context.printJson(QJsonDocument(QJsonObject { { QStringLiteral("files"), files } }));
        return CliContext::Success;
    }
    QString out;
    for (const TCameraImportItem* item : items)
        out += QStringLiteral("%1  %2  %3  %4\n")
                   .arg(Printable(item->FileName), -14)
                   .arg(FileSizeText(item->SizeText), 10)
                   .arg(Printable(CameraDateText(item->DateText)), Printable(CameraTimeText(item->TimeText)));
    if (!out.isEmpty())
        context.print(out);
    return CliContext::Success;
}
