// "korvane --verify FILE": checks every upload that the record beside FILE names against FILE.
// It reads files only: no driver library, no window, no module.
#pragma once

#include <cstdio>

class QString;

// One line per upload ("ok" or what differs) and a summary to `out`; a record that is missing or
// malformed to `err`. Answers the exit code: 0 when every upload is intact, 1 when anything
// differs, 2 when the record is missing or malformed.
int VerifyUploads(const QString& memoryFile, std::FILE* out, std::FILE* err);
