// Reads arbitrary bytes as a settings file and exercises every lookup and change on them.
#include "platform/IniFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char *>(data), size);
  platform::IniDocument doc = platform::IniDocument::parse(bytes);
  // Nothing is lost or invented by reading and writing back.
  if (doc.serialize() != bytes)
    std::abort();
  const auto sections = doc.sections();
  for (const std::string &section : sections) {
    for (const std::string &key : doc.keys(section)) {
      // Every listed key can be read by its listed name.
      if (!doc.value(section, key))
        std::abort();
    }
    doc.keyValues(section);
  }
  // A written value reads back trimmed, and the rest of the file still parses.
  const std::string section = sections.empty() ? "S" : sections.front();
  doc.setValue(section, " Key ", "value");
  if (doc.value(section, "key").value_or("") != "value")
    std::abort();
  doc.setValue("New Section", "k", bytes.substr(0, 16));
  doc.deleteKey(section, "key");
  doc.eraseSection(section);
  platform::IniDocument::parse(doc.serialize());
  return 0;
}
