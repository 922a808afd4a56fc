// Work too long for the user-interface thread (syncing and reading back a large file) runs on a
// worker while that thread keeps painting its windows and running handed-over steps. User input
// waits until the work is done, as it would if the thread did the work itself.
#pragma once

#include <functional>

namespace platform {

// Returns once work has returned; an exception thrown by work is rethrown here. work must touch
// no widget and nothing that the user-interface thread's events touch. Called off that thread,
// work simply runs on the caller's thread.
void RunOffUiThread(std::function<void()> work);

} // namespace platform
