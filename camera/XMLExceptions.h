#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// Errors of the XML reader. Every one derives from EXMLLibException so a caller
// catches the whole family with one handler; the texts are the ones our log shows.
class EXMLLibException : public std::exception
{
public:
    explicit EXMLLibException(const QString& message)
        : m_message(message)
        , m_what(message.toUtf8())
    { }
    const char* what() const noexcept override { return m_what.constData(); }
    QString Message() const { return m_message; }

private:
    QString m_message;
    QByteArray m_what;
};

class EXMLInvalidFile : public EXMLLibException
{
public:
    EXMLInvalidFile()
        : EXMLLibException(QStringLiteral("invalid file!"))
    { }
};

class EXMLNodeNotFound : public EXMLLibException
{
public:
    explicit EXMLNodeNotFound(const QString& path)
        : EXMLLibException(QStringLiteral("node \"%1\" not found!").arg(path))
    { }
};

class EXMLNodeNameInvalid : public EXMLLibException
{
public:
    EXMLNodeNameInvalid(const QString& name, int line)
        : EXMLLibException(QStringLiteral("node name \"%1\" is invalid! (Line: %2)").arg(name).arg(line))
    { }
};

class EXMLNodeAttrNameExists : public EXMLLibException
{
public:
    explicit EXMLNodeAttrNameExists(int line)
        : EXMLLibException(
            QStringLiteral("TXMLAttribute.SetName(): Attribute with the name already exist! (Line: %1)")
                .arg(line))
    { }
};

class EXMLNodeAttrNameInvalid : public EXMLLibException
{
public:
    EXMLNodeAttrNameInvalid(const QString& name, int line)
        : EXMLLibException(
            QStringLiteral("TXMLAttribute.SetName(): Attribute name (\"%1\") is invalid! (Line: %2)")
                .arg(name)
                .arg(line))
    { }
};

class ESAWrongEncodingException : public EXMLLibException
{
public:
    ESAWrongEncodingException()
        : EXMLLibException(QStringLiteral("unknown encoding type!"))
    { }
};

class EXMLAttributeIndexError : public EXMLLibException
{
public:
    EXMLAttributeIndexError()
        : EXMLLibException(QStringLiteral("TXMLAttributesList.GetAttributeByIndex(): Index out of range"))
    { }
};

// Hostile input can nest elements without end; the reader recurses per level, so
// the depth is capped well below what the stack holds.
class EXMLNestingTooDeep : public EXMLLibException
{
public:
    EXMLNestingTooDeep(int maxLevel, int line)
        : EXMLLibException(QStringLiteral("nesting deeper than %1 levels is not supported! (Line: %2)")
                               .arg(maxLevel)
                               .arg(line))
    { }
};
