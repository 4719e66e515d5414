#pragma once

// A small card for the simulator: real files under DCIM/100OLYMP of a temporary folder, with the
// content and times a test can compare the downloads against.
#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QString>
#include <QTemporaryDir>

#include <map>

namespace lumivar::test {

class ImportTestCard
{
public:
    // name -> size; each file gets its own bytes and a time on an even second (FAT keeps those).
    explicit ImportTestCard(const std::map<QString, qint64>& files)
    {
        const QString folder = m_dir.path() + QStringLiteral("/DCIM/100OLYMP");
        QDir().mkpath(folder);
        QDateTime when(QDate(2023, 7, 21), QTime(14, 35, 42));
        quint32 seed = 7;
        for (const auto& [name, size] : files) {
            QByteArray bytes(size, Qt::Uninitialized);
            QRandomGenerator random(seed++);
            for (qint64 i = 0; i < size; ++i)
                bytes[i] = char(random.bounded(256));
            QFile file(folder + QLatin1Char('/') + name);
            if (file.open(QIODevice::WriteOnly)) {
                file.write(bytes);
                file.setFileTime(when, QFileDevice::FileModificationTime);
            }
            m_content[name] = bytes;
            m_times[name] = when;
            when = when.addSecs(64);
        }
    }

    QString root() const { return m_dir.path(); }
    const std::map<QString, QByteArray>& content() const { return m_content; }
    QDateTime timeOf(const QString& name) const { return m_times.at(name); }

private:
    QTemporaryDir m_dir;
    std::map<QString, QByteArray> m_content;
    std::map<QString, QDateTime> m_times;
};

} // namespace lumivar::test
