// "korvane --save-settings FILE": connects to the configured module without a window, reads its
// settings and identity and writes them into FILE as a settings profile, replaced whole.
#pragma once

class QString;

// Answers the exit code: 0 when the profile was written, 1 when anything failed (the reason on
// standard error, no partial file left).
int SaveSettingsFromModule(const QString& fileName);
