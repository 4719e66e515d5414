#pragma once

#include "exif/TTiffData.h"

#include <QString>

// Ordinary: elements joined by the separator. Character: UNDEFINED bytes as characters, no separator.
// Fraction: rationals as numerator "/" denominator.
enum class TFormatMode { Ordinary, Character, Fraction };

// The one value-formatting routine every stored tag goes through. Element texts: unsigned types print
// unsigned, signed types (SBYTE, SSHORT, SLONG, SRATIONAL) signed, wherever the value is stored; a
// rational with denominator 0 prints its numerator. A value whose bytes do not lie inside the data, or
// an unknown type, gives an empty text. ASCII stops at the first zero byte; ASCII and character mode drop
// trailing blanks and control characters.
QString FormatValue(const TTiffData& data, const TIfdEntry& entry,
    const QString& separator = QStringLiteral(";"), TFormatMode mode = TFormatMode::Ordinary);

// Shortest text with at most 15 significant digits, in the user's decimal separator.
QString GeneralNumber(double value);
// The reverse of GeneralNumber, for decoders that compute with a formatted value.
bool ParseGeneralNumber(const QString& text, double& value);

// Bytes of one element of a TIFF type; 0 for unknown types.
qsizetype ElementSize(quint16 type);
