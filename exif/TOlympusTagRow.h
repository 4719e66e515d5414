#pragma once

#include "exif/TExifFormat.h"
#include "exif/TOlympusDecoders.h"

#include <QList>
#include <QPair>
#include <QString>

#include <array>
#include <span>

// One stored tag of a maker-note directory: where its text goes and how it is decoded.
template<class Section> struct TOlympusTagRow
{
    quint16 Tag;
    const char* Property;
    QString Section::*Member;
    TOlympusRule Rule = TOlympusRule::Formatted;
    std::span<const TOlympusValueText> Table = {};
};

namespace OlympusTagRows {

template<class Section>
const TOlympusTagRow<Section>* find(std::span<const TOlympusTagRow<Section>> rows, quint16 tag)
{
    for (const TOlympusTagRow<Section>& row : rows) {
        if (row.Tag == tag)
            return &row;
    }
    return nullptr;
}

inline QString format(const TTiffData& data, const TIfdEntry& entry, TOlympusRule rule)
{
    return FormatValue(data, entry, QStringLiteral(";"),
        rule == TOlympusRule::Characters ? TFormatMode::Character : TFormatMode::Ordinary);
}

// Stores the entry through its row, or in its UnknownN slot; false when the tag is not ours.
template<class Section, std::size_t N>
bool store(Section& section, std::span<const TOlympusTagRow<Section>> rows,
    std::span<const TOlympusTagRange> unknownTags, std::array<QString, N>& unknown, const TTiffData& data,
    const TIfdEntry& entry)
{
    if (const TOlympusTagRow<Section>* row = find(rows, entry.Tag)) {
        section.*(row->Member)
            = TOlympusDecoders::Decode(row->Rule, format(data, entry, row->Rule), row->Table);
        return true;
    }
    const int slot = OlympusTables::unknownSlot(unknownTags, entry.Tag);
    if (slot < 0 || slot >= int(N))
        return false;
    unknown[slot] = format(data, entry, TOlympusRule::Formatted);
    return true;
}

template<class Section>
void collect(const Section& section, std::span<const TOlympusTagRow<Section>> rows, const QString& prefix,
    QList<QPair<QString, QString>>& out)
{
    for (const TOlympusTagRow<Section>& row : rows)
        out.append({ prefix + u'.' + QLatin1StringView(row.Property), section.*(row.Member) });
}

} // namespace OlympusTagRows
