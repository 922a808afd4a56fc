// The start of the main window from the command line: what its create handler FormCreate does.
#pragma once

#include <QStringList>

class TForm_Korvane;

// Applies the options in arguments (without the program name) to the window, shows it or hides
// and minimises it, and starts the automatic run when "/auto" asked for one.
void StartFromCommandLine(TForm_Korvane& form, const QStringList& arguments);

// The arguments as typed (without the program name) that FormCreate hands to StartFromCommandLine.
void KeepCommandLine(const QStringList& arguments);
