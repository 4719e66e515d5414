#pragma once

// Registers the camera module's named texts (display texts of the shooting properties).
// Safe to call more than once; TCameraParams calls it before it fills its dictionaries.
void RegisterCameraTexts();
