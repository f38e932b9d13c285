// Appending records to files that other programs read line by line: a record reaches the disk
// whole or not at all. A write cut short (a full disk, a quota, a size limit) is undone by
// cutting the file back to its length before the record, so that neither a torn record nor a
// record glued to one written after the space returned can appear.
#pragma once

#include <string>
#include <string_view>

namespace platform {

struct AppendOutcome {
  // NotRegular: a pipe, device or socket stands at the path; it was not written to (a pipe
  // without a reader would hold the writer for ever) and nothing changed.
  enum Kind { Written, NotOpened, NotWritten, NotRegular };
  Kind kind = Written;
  int error = 0; // errno of the failure; 0 for NotRegular

  explicit operator bool() const { return kind == Written; }
  // The system's words for the failure, such as "No space left on device", or "Not a regular
  // file".
  std::string reason() const;
};

// Opens `path` for appending (creating it), writes `header` first when the file is empty, then
// `record`, and closes it. The open never blocks; only a regular file is written (a symbolic link
// to one is followed). NotOpened: the file could not be opened and nothing changed.
// NotWritten: the bytes, or the close, failed; the file is back at its former length, and a
// file that this call created is removed again.
AppendOutcome appendWholeRecord(const std::string &path, std::string_view header,
                                std::string_view record);

// Appends `record` to a file kept open for appending (opened with O_APPEND). Returns 0, or the
// errno of the failure after cutting the file back to its former length.
int appendWholeRecord(int fd, std::string_view record);

} // namespace platform
