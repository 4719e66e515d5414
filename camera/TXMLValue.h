#pragma once

#include <QString>

// The text of an element or attribute.
struct TXMLValue
{
    QString Text;
    bool IsCData = false;

    QString AsString() const { return Text; }
    // The text as a number, or fallback when it is none.
    int AsInteger(int fallback = 0) const
    {
        bool ok = false;
        const int value = Text.trimmed().toInt(&ok);
        return ok ? value : fallback;
    }
    // Text that would break the markup goes out as CDATA.
    bool CountsAsCData() const
    {
        return IsCData || Text.contains(QLatin1Char('<')) || Text.contains(QLatin1Char('>'));
    }
};
