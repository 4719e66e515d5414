#pragma once

// Registers the named texts of the Olympus maker-note decoders with their German defaults.
// Safe to call more than once; the maker-note reader calls it before its first decode.
void RegisterMakerNoteTexts();
