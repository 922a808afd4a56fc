// The stage file of a memory upload, ".<memory file>.upload" beside it: the blocks gather there
// until the upload is appended whole. Its first line names the memory file's length before the
// append and a state: R while blocks are read (the memory file is untouched), A from the moment the
// stage is appended until the upload's record line is synced; lower case when the upload created
// the memory file. Whatever moment a kill comes, the next upload finds nothing, a stage in state R
// (dropped), or one in state A, whose cut-off or unrecorded copy it takes back off the memory file.
#pragma once

#include <QString>

#include <optional>
#include <string>

#include <sys/stat.h>
#include <sys/types.h>

namespace uploadstage {

constexpr char Suffix[] = ".upload";
constexpr off_t HeaderSize = 38;  // "korvane upload R 00000000000000001234\n"

std::string NameFor(const std::string& memoryFile);

// Creates the stage in state R (r: `created`), owned like the memory file and locked for as long as
// it is open. -1 with the reason.
int Create(const std::string& stageName, const struct stat& memoryFile, bool created, off_t start, QString& reason);

// Marks the stage A (a) with the offset its data is appended at, and syncs it.
bool MarkAppending(int stage, bool created, off_t start);

// The uploads' record ends with this one: the offset and length of its last line.
struct RecordedEnd {
    qint64 offset = -1;
    qint64 length = -1;
};

// Clears away a stage left by an upload that did not end, taking its copy back off the memory file
// where it is provably that copy: the stage is ours (a regular file of the memory file's owner
// with no other link) and the bytes past its offset are the start of its data. A stage whose
// upload was recorded just goes; one that a running upload holds stays. Anything else is left where it is, or a stage of ours that does
// not match is set aside under another name, and the answer is why the upload cannot go on.
// Empty when the way is clear.
QString Recover(const std::string& stageName, int memoryFile, const RecordedEnd& recorded);

// Keeps a stage of ours that cannot be cleared away under a name of its own, so that its data is
// there to look at and the next upload is not held up by it. The name it went to; empty when it
// could not be moved.
std::string SetAside(const std::string& stageName);

// Removes the leftovers of uploads killed while reading into new memory files in this folder:
// a stage of the running user that no upload holds, and its memory file when that is the running
// user's, empty and held by no upload.
void SweepFolder(const std::string& folder);

}  // namespace uploadstage
