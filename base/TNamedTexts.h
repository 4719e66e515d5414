#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <initializer_list>
#include <span>

// One text the program builds in code: its registration name ("_rs...") and the German default,
// both UTF-8 literals that live for the whole run.
struct TNamedText
{
    const char* Name;
    const char* German;
};

// The process-wide table of named code texts. Each module registers its own table once at start-up;
// code fetches a text at the moment it builds a message, so a text fetched after a language change
// comes in the new language. Reads are safe from any thread.
class TNamedTexts
{
public:
    // Adds texts in the given order; a name registered before keeps its first German default.
    // A text registered after a language was selected comes in that language at once.
    static void Register(std::initializer_list<TNamedText> texts);
    static void Register(std::span<const TNamedText> texts);

    // The current text; for a name nobody registered, the name itself (logged once).
    static QString Text(const char* name);
    static QString German(const char* name);
    static bool Contains(const char* name);
    // Registration order.
    static QStringList Names();

    // Replaces every current text by the one stored under its name; a name missing from texts
    // keeps its German default.
    static void SetTranslations(const QHash<QString, QString>& texts);
    static void ResetToDefaults();
    // Registered names without a non-empty text in texts.
    static QStringList MissingIn(const QHash<QString, QString>& texts);

    // Substitutes "%s" and "%d" in order by the arguments' text and "%%" by "%". A placeholder
    // without an argument stays as written, so a translation with one placeholder too many shows
    // it instead of reading memory that is not there.
    static QString Format(const QString& pattern, const QVariantList& args);
};

inline QString rs(const char* name)
{
    return TNamedTexts::Text(name);
}

inline QString rs(const char* name, const QVariantList& args)
{
    return TNamedTexts::Format(TNamedTexts::Text(name), args);
}
