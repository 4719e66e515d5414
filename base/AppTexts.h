#pragma once

// Registers the shell's own named texts (messages of the main window, pages and dialogs).
// Safe to call more than once; the language module calls it when it is created.
void RegisterAppTexts();
