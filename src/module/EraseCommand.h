// The erase command, shared by the erase operation and the clear question after a memory upload.
#pragma once

class QString;

namespace driver {
class DriverBinding;
}

// Writes the erase command; when the module took it, waits until the module has emptied its
// memory. Answers whether the module took the command.
bool SendEraseCommand(driver::DriverBinding& driver);

// "Module Memory Erased!" or "Cannot Erase!", with the reason below it.
void ReportErase(bool erased, const QString& reason);
