#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Comments that stood before an element, each kept as its lines.
class TXMLCommentList
{
public:
    int Count() const { return static_cast<int>(m_comments.size()); }
    bool IsEmpty() const { return m_comments.isEmpty(); }
    // An empty list for an index out of range.
    QStringList At(int index) const
    {
        return index >= 0 && index < Count() ? m_comments.at(index) : QStringList();
    }
    void Add(const QStringList& lines) { m_comments.append(lines); }
    // Splits a comment's text at its line breaks; a run of CRs before a LF (some
    // cameras write CR CR LF) is one break.
    void AddText(const QString& text)
    {
        QStringList lines;
        QString line;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
                while (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\r'))
                    ++i;
                if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                    ++i;
                lines.append(line);
                line.clear();
            } else {
                line.append(c);
            }
        }
        lines.append(line);
        m_comments.append(lines);
    }
    void Clear() { m_comments.clear(); }

    auto begin() const { return m_comments.cbegin(); }
    auto end() const { return m_comments.cend(); }

private:
    QList<QStringList> m_comments;
};
