// The last step of a memory upload before anything may erase the module: the bytes just added to
// the memory file are read back from the disk and compared with what the module sent, and the
// upload is recorded beside the file.
#pragma once

#include <QString>

#include <cstdint>

class UploadFile;

// For a closed upload into a regular file: reads it back and appends its record line. Empty when
// both succeeded (or the file is no regular file, which gets neither); otherwise why not, and the
// upload is taken off the memory file again.
QString ConfirmUpload(const UploadFile& file, uint8_t nodeId, uint8_t deviceMode);
