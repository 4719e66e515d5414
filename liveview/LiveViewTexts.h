#pragma once

// Registers the live view module's named texts (white balance names of the frame information, the
// receiver's port message). Safe to call more than once.
void RegisterLiveViewTexts();
