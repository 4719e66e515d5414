#include "import/CommaText.h"

namespace {

bool isBlank(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= 32;
}

} // namespace

QStringList SplitCommaText(QStringView line)
{
    QStringList fields;
    const qsizetype n = line.size();
    // A NUL ends the text, as it ends the character string the format was defined on.
    qsizetype end = 0;
    while (end < n && line[end].unicode() != 0)
        ++end;
    qsizetype i = 0;
    while (i < end && isBlank(line[i]))
        ++i;
    while (i < end) {
        if (line[i] == QLatin1Char('"')) {
            QString field;
            ++i;
            while (i < end) {
                if (line[i] == QLatin1Char('"')) {
                    if (i + 1 < end && line[i + 1] == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += line[i++];
            }
            fields.append(field);
        } else {
            const qsizetype start = i;
            while (i < end && line[i].unicode() > 32 && line[i] != QLatin1Char(','))
                ++i;
            fields.append(line.mid(start, i - start).toString());
        }
        while (i < end && isBlank(line[i]))
            ++i;
        if (i < end && line[i] == QLatin1Char(',')) {
            if (i + 1 >= end)
                fields.append(QString());
            do
                ++i;
            while (i < end && isBlank(line[i]));
        }
    }
    return fields;
}
