#pragma once

#include "base/TNamedTexts.h"

#include <span>

// Registers the named texts of the Olympus maker-note decoders with their German defaults.
// Safe to call more than once; the maker-note reader calls it before its first decode.
void RegisterMakerNoteTexts();

// The table RegisterMakerNoteTexts registers, for the check that every language file covers it.
std::span<const TNamedText> MakerNoteTexts();
