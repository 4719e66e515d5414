#pragma once

#include <QString>

// Registers the named texts of the settings dialog, the info window and the debug page.
// Safe to call more than once; each of these windows calls it when it is created.
void RegisterShellTexts();

// "Version: 1.2.3.4" in the current language: the program version as four numbers.
QString VersionCaption();
