// What the toolkit needs before the application object exists, so that an unattended run writes
// nothing to standard error but the tool's own lines.
#pragma once

#include <string_view>

namespace platform {

// The toolkit's own messages (a locale that is not UTF-8, a missing runtime folder, a platform
// plugin's complaints) go to `report` as "toolkit: ..." only when `show`; a fatal one always
// does. The writer is handed in because the tool's one writer of standard-error lines lies above
// this layer.
void RouteToolkitMessages(bool show, void (*report)(std::string_view line));

// Without XDG_RUNTIME_DIR (cron, su, ssh without a session) it is set to a folder of the user's
// own: $TMPDIR/korvane-runtime-UID when that is a folder of the user's with mode 0700, else a new
// one made for this run.
void EnsureRuntimeFolder();

}  // namespace platform
