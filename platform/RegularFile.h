// Opening files whose names come from outside (settings, dialogs, a drawing's references):
// such a name can point at a named pipe or a device, which would hold a plain open() or read
// for ever, so only regular files are opened and the check never blocks.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// True when the path names a regular file (after symbolic links). Never blocks.
bool isRegularFile(const std::string &path);

// Opens the path read-only without blocking, keeps the descriptor only when it is a regular
// file and then puts it back into blocking mode. Returns the descriptor, or -1: errno then says
// why open() failed, or *notRegular (when given) is set for a folder, pipe or device.
int openRegularFileForReading(const std::string &path, bool *notRegular = nullptr);

// The same for appending: opens the path write-only with O_APPEND, creating a missing file,
// without blocking on a named pipe that has no reader; keeps only a regular file, in blocking
// mode. -1 as above, but a folder gives errno EISDIR.
int openRegularFileForAppending(const std::string &path, bool *notRegular = nullptr);

// Both of the above, with the open() flags given (O_CLOEXEC and O_NONBLOCK are added): a pipe or
// device there is refused before it is opened at all, and one put there after that check, or a
// folder opened for reading, is refused once opened. -1 as above.
int openRegularFile(const std::string &path, int flags, bool *notRegular = nullptr);

// What readRegularFile found.
enum class WholeRead {
  Done,
  Missing,    // nothing at the path (errno ENOENT)
  OpenFailed, // errno says why
  NotRegular, // a folder, pipe or device: not read at all
  TooLarge,   // beyond the reader's limit, by its size or by what it grew to while read
  ReadFailed, // errno says why
};
// The whole file at `path` into `bytes`, but never more than `maxBytes` of it held in memory,
// and never from a pipe or device; `bytes` is empty unless the answer is Done.
WholeRead readRegularFile(const std::string &path, std::size_t maxBytes, std::string &bytes);

// The end of a chain of symbolic links from `path` (the path itself when it is no link): the
// file a write through the path reaches, or creates when the last link dangles. 0, or -1 with
// errno when the chain cannot be followed (ELOOP beyond the kernel's own number of hops).
int resolveSymbolicLinks(const std::string &path, std::string &target);

// The words for a path that is no regular file, for messages that name the file.
constexpr const char *notRegularFileReason = "Not a regular file";

} // namespace platform
