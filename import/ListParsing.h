#pragma once

#include "import/TCameraImportItems.h"

#include <QStringList>

// The rules both listing formats share: records of six comma-delimited fields.

// Folder names of the "/DCIM" records, each once (without regard to case), in answer order.
QStringList ParseFolderRecords(const QStringList& lines);
// The file records: lines beginning "/DCIM/" with exactly six fields; replaces items' content.
void ParseItemRecords(const QStringList& lines, TCameraImportItems& items);
