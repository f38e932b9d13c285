// Rewriting a whole file so that a failure (a full disk, a size limit, a crash) leaves the
// earlier file as it was: the new content goes to a temporary file beside it, which takes the
// file's name only once everything was written and flushed to the disk. The temporary's name is
// short, whatever the file's; the temporaries that a crash left behind are removed by the next
// save in their folder.
#pragma once

#include "platform/FileError.h"

#include <string>
#include <string_view>

namespace platform {

class AtomicFile {
public:
  // Creates the new content's file beside `path`. A symbolic link is followed, so the file it
  // points at is replaced, or created when the link dangles; the link stays. Raises EFileError
  // naming `path` when that is not possible.
  explicit AtomicFile(const std::string &path);
  // Without a commit the new content is thrown away and the old file stays.
  ~AtomicFile();
  AtomicFile(const AtomicFile &) = delete;
  AtomicFile &operator=(const AtomicFile &) = delete;

  // Appends bytes. Raises EFileError naming the file on a failed write; the old file stays.
  void write(std::string_view bytes);
  // Flushes the new content to the disk and puts it in the old file's place (a file that did
  // not exist is created). Raises EFileError naming the file on failure; the old file stays.
  void commit();

  const std::string &path() const { return path_; }

private:
  [[noreturn]] void fail(const std::string &what, int error);
  void discard();
  void releaseLock();

  std::string path_;   // as given, for messages
  std::string target_; // the file replaced (a link resolved)
  std::string temporary_;
  int fd_ = -1;
  int lockFd_ = -1; // holds the temporary's lock until it is renamed or removed
};

// The whole file replaced by `bytes`, the atomic way. Raises EFileError naming the file.
void replaceFileContents(const std::string &path, std::string_view bytes);

} // namespace platform
