#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace lumivar::test {

// Absolute path of a file below tests/fixtures.
inline QString fixturePath(const QString& relative)
{
    return QStringLiteral(LUMIVAR_FIXTURES_DIR "/") + relative;
}

// Whole content of a fixture file; empty when it cannot be read.
inline QByteArray readFixture(const QString& relative)
{
    QFile file(fixturePath(relative));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace lumivar::test
