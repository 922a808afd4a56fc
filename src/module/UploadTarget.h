// Opening the memory file of an upload, by the rules that keep its bytes where the user meant.
#pragma once

#include <QString>

#include <string>

#include <sys/stat.h>

namespace uploadtarget {

struct Opened {
    int descriptor = -1;  // -1: not opened, see reason
    struct stat status {};
    bool created = false;  // the file is new, made by this upload
    bool unnamed = false;  // new and not yet in the folder: Name() gives it its name
    QString reason;
    bool regular() const { return S_ISREG(status.st_mode); }
};

// A regular file is opened for reading and writing, created when missing. Anything else is opened
// write-only without waiting: a FIFO that no program reads fails at once. A symbolic link of
// another user in a shared folder (sticky and writable by all) is not followed, whatever the
// system's own setting for that.
Opened Open(const std::string& name);

// Gives an unnamed new file its name; false with errno set (EEXIST: the name was taken meanwhile).
bool Name(int descriptor, const std::string& name);

}  // namespace uploadtarget
