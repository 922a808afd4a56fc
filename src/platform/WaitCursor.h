// Shows the hourglass for a scope and puts the previous cursor back, also when an exception leaves.
#pragma once

namespace platform {

class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace platform
