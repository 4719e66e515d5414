#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>
#include <vector>

// One thumbnail fetched from the camera: the camera path of its file ("/100OLYMP/P1010001.JPG")
// and the JPEG bytes as the camera sent them.
class TPreview
{
public:
    TPreview(const QString& name, const QByteArray& jpeg)
        : Name(name)
        , m_data(jpeg)
    { }

    QString Name;
    // The whole thumbnail from its first byte.
    const QByteArray& Stream() const { return m_data; }

private:
    QByteArray m_data;
};

// The thumbnails fetched so far, so that a folder shown again asks the camera for none of them.
// Names are compared without regard to case, as the card's file system does.
class TPreviewList
{
public:
    // The index of the new entry; -1 for none.
    int Add(std::unique_ptr<TPreview> preview);
    // The first preview of that name, nullptr when there is none.
    TPreview* Find(const QString& name) const;
    int Count() const { return int(m_items.size()); }
    void Clear();

private:
    std::vector<std::unique_ptr<TPreview>> m_items;
    // Lower-cased name -> index of its first preview; a folder holds thousands of files.
    QHash<QString, int> m_index;
};
