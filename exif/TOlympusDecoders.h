#pragma once

#include "exif/OlympusTables.h"

#include <QList>
#include <QString>

#include <span>

struct TOlympusAFArea;
struct TOlympusAFPoint;
struct TOlympusFaceRect;

// How a maker-note tag's formatted value becomes its display text.
enum class TOlympusRule : quint8 {
    Formatted, // as formatted
    Characters, // character mode (version tags)
    Millimetres, // value followed by " mm"
    Celsius, // degrees followed by " °C"; older bodies' counts converted
    Firmware,
    WholeValue, // the whole text through the row's table, else "Unbekannt"
    FirstItem, // the first item through the row's table, else "Unbekannt"; no items: unchanged
    SpecialMode,
    FocusMode,
    AFAreas,
    AFPointSelected,
    FlashMode,
    FlashRemoteControl,
    FlashControlMode,
    WhiteBalanceTemperature,
    Range,
    Gradation,
    NoiseFilter,
    PMEffect,
    ArtFilter,
    PMArtFilter2,
    HighlightShadow,
    DriveMode,
    PanoramaMode,
    ImageStabilization,
    FaceCount,
    FaceAreas,
    Distance,
};

// The decoders of the maker-note values. Each takes the formatted text (elements joined by ";") and
// returns the display text in the current language; a value a rule cannot read comes back unchanged.
class TOlympusDecoders
{
public:
    // Every rule without a result besides the text (not AFAreas, AFPointSelected, FaceAreas).
    static QString Decode(
        TOlympusRule rule, const QString& text, std::span<const TOlympusValueText> table = {});

    static QString WholeValue(std::span<const TOlympusValueText> table, const QString& text);
    static QString FirstItem(std::span<const TOlympusValueText> table, const QString& text);
    static QString SpecialMode(const QString& text);
    static QString Firmware(const QString& text);
    static QString Celsius(const QString& text);
    static QString FocusMode(const QString& text);
    static QString AFAreas(const QString& text, QList<TOlympusAFArea>& areas);
    // decoded (optional) tells whether the five values were read and the point set.
    static QString AFPointSelected(
        const QString& text, int width, int height, TOlympusAFPoint& point, bool* decoded = nullptr);
    static QString FlashMode(const QString& text);
    static QString FlashRemoteControl(const QString& text);
    static QString FlashControlMode(const QString& text);
    static QString WhiteBalanceTemperature(const QString& text);
    static QString Range(const QString& text);
    static QString Gradation(const QString& text);
    // lowLimit -2 for NoiseFilter (which also knows "Aus"), -1 for PMEffect.
    static QString Level(const QString& text, int lowLimit);
    static QString ArtFilter(const QString& text);
    static QString PMArtFilter2(const QString& text);
    static QString HighlightShadow(const QString& text);
    static QString DriveMode(const QString& text);
    static QString PanoramaMode(const QString& text);
    static QString ImageStabilization(const QString& text);
    static QString FaceCount(const QString& text);
    static QString FaceAreas(const QString& text, int width, int height, QList<TOlympusFaceRect>& faces);
    static QString Distance(const QString& text);
};
