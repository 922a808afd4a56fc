// The folder of what the tool keeps between runs for the user's own sake (the window's place):
// $XDG_STATE_HOME/korvane, or ~/.local/state/korvane where that is unset or not absolute.
#pragma once

#include <QString>

QString StateFolder();
