#pragma once

#include "camera/TXMLNode.h"

#include <QByteArray>
#include <QString>

#include <memory>

class QIODevice;

// The lenient reader for the camera's XML answers: one pass over the bytes builds a
// tree of TXMLNode. Errors are EXMLLibException (and subclasses).
class TXMLLib
{
public:
    TXMLLib() = default;
    TXMLLib(const TXMLLib&) = delete;
    TXMLLib& operator=(const TXMLLib&) = delete;

    // The document element; nullptr before the first load and after a failed one.
    TXMLNode* Root() const { return m_root.get(); }

    // Reads from the device's current position and replaces Root. Returns whether a
    // document element was found (an empty document leaves an unnamed root). A document
    // cut off before its closing tags yields the tree read so far. Throws EXMLLibException.
    bool Load(QIODevice* device);
    bool Load(const QByteArray& data);
    // The same without exceptions: false on any error, with its message in error.
    bool TryLoad(const QByteArray& data, QString* error = nullptr) noexcept;
    void Clear() { m_root.reset(); }

    void Save(QIODevice* device) const;

private:
    std::unique_ptr<TXMLNode> m_root;
};
