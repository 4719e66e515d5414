#pragma once

#include <QString>

#include <ostream>

// Lets GoogleTest print a QString in failure messages as text instead of bytes.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
