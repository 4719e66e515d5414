#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// Splits one line of comma-delimited text as the camera's listings are read: fields end at a comma
// and, outside quotes, at any character up to the blank, with blanks around a separator dropped; a
// field opened by a double quote runs to its closing quote ("" inside stands for one quote); a comma
// at the very end gives a final empty field. So a name with a blank in it yields one field too many.
QStringList SplitCommaText(QStringView line);
