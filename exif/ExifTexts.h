#pragma once

#include "base/TNamedTexts.h"

#include <QString>

#include <span>

// Registers the named texts of the standard EXIF and GPS decoders and the captions of the image
// information list. Safe to call more than once; every reader entry point calls it.
void RegisterExifTexts();

// The table registered by RegisterExifTexts, for the check that every language file covers it.
std::span<const TNamedText> ExifTexts();

// One row of a value-to-text table: the formatted value, then either a registered text name (fetched
// in the current language when decoding) or a fixed text that is never translated.
struct TExifDecodeRow
{
    const char* Value;
    const char* Name;
    const char* Fixed = nullptr;
};

// The text of the row whose value equals text; text itself when no row matches.
QString DecodeByTable(const QString& text, std::span<const TExifDecodeRow> table);
