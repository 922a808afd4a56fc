// The start of the main window from the command line: what its create handler FormCreate does.
#pragma once

struct CommandLineOptions;
class TForm_Korvane;

// Applies the options to the window, shows it or hides and minimises it, and starts the
// automatic run when "/auto" asked for one.
void StartFromCommandLine(TForm_Korvane& form, const CommandLineOptions& options);

// The options of the command line that FormCreate hands to StartFromCommandLine.
void KeepCommandLine(const CommandLineOptions& options);
