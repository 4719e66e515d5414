#pragma once

#include "CliCommand.h"

#include <QDate>
#include <QStringList>

class TCameraImportItem;

// import: copies the card's files into a folder, each complete or not at all, skipping those already
// there (same name and size), with the camera's date and time on every copy; a different file under
// a taken name is kept and the copy takes a free variant of the name (P8090002_1.JPG).
class ImportCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("import"); }
    QString synopsis() const override
    {
        return QStringLiteral(
            "import [--dest DIR] [--new | --all] [--type JPG,ORF,MOV] [--since DATE] [--until DATE]");
    }
    QString summary() const override
    {
        return QStringLiteral(
            "copy files from the card into DIR (default: the download folder); --new (the default) "
            "skips files already there with the same size, --all copies every one again; "
            "DATE is YYYY-MM-DD");
    }
    int run(CliContext& context, const QStringList& arguments) override;

    struct Filter
    {
        QStringList Types; // upper-case extensions; empty: all
        QDate Since, Until; // inclusive; invalid: open
        bool Matches(const TCameraImportItem& item) const;
    };
};
