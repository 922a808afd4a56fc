// What the toolkit needs before the application object exists, so that an unattended run writes
// nothing to standard error but the tool's own lines.
#pragma once

namespace platform {

// The toolkit's own messages (a locale that is not UTF-8, a missing runtime folder, a platform
// plugin's complaints) go to standard error only when `show`, as "korvane: toolkit: ...". A fatal
// one is always said.
void RouteToolkitMessages(bool show);

// Without XDG_RUNTIME_DIR (cron, su, ssh without a session) it is set to a folder of the user's
// own: $TMPDIR/korvane-runtime-UID when that is a folder of the user's with mode 0700, else a new
// one made for this run.
void EnsureRuntimeFolder();

}  // namespace platform
