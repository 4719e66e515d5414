#pragma once

#include "CliCommand.h"

#include <memory>

class TCameraImportItems;
class TCameraImport;
class TCameraImportItem;
class QJsonObject;

// list [FOLDER]: the card's folders, or one folder's files with size, date and time.
class ListCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("list"); }
    QString synopsis() const override { return QStringLiteral("list [FOLDER]"); }
    QString summary() const override
    {
        return QStringLiteral("list the folders of the card, or the files of FOLDER (such as 100OLYMP)");
    }
    int run(CliContext& context, const QStringList& arguments) override;

    // What list and import share: the import part probed against the camera's command list.
    struct Card
    {
        std::unique_ptr<TCameraImport> Import;
        QString Error; // why the camera could not be reached
    };
    static Card OpenCard(CliContext& context);
    // Folder names of /DCIM; false with a reason when the camera did not answer them.
    static bool ListFolders(TCameraImport& import, QStringList& folders, QString& error);
    // The files of one folder (a name such as 100OLYMP), in the list's order; an empty folder,
    // which the camera answers with 404, is no error.
    static bool ListFiles(
        TCameraImport& import, const QString& folder, TCameraImportItems& items, QString& error);
    // "100OLYMP", "/100OLYMP", "/DCIM/100OLYMP/" all name the folder "100OLYMP".
    static QString FolderName(const QString& argument);
    // Control characters of a camera text made visible, so a name cannot drive the terminal.
    static QString Printable(const QString& text);
    // The usage line for a --type list (upper case, no dots) naming a kind of file no camera
    // writes; empty when every type is known.
    static QString UnknownTypes(const QStringList& types);
    static QJsonObject FileToJson(const TCameraImportItem& item);
};
