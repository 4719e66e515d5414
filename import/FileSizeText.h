#pragma once

#include <QString>

// A byte count as a person reads it ("1023 Byte", "1.0 KB" ... "1.0 TB"), one decimal in the user's
// locale; counts from 2^50 on as the plain number.
QString FileSizeText(qint64 bytes);
// The same for a decimal text; a text that is not a number comes back as it is.
QString FileSizeText(const QString& text);
