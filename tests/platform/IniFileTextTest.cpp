// Window texts in the settings file: Windows-1254 bytes on disk, QString in the program.
#include "platform/IniFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

TEST(IniFileText, WindowTextsAreStoredAsWindows1254AndReadBack) {
  testsupport::TempDir dir;
  platform::IniFile ini(dir.file("T.INI"));
  const QString surveyor = QString::fromUtf8("Şükrü Çağlayan İĞDIR ı");
  ini.WriteString("OFFSETS", "Surveyor", surveyor);
  EXPECT_EQ(testsupport::readFile(dir.file("T.INI")), "[OFFSETS]\nSurveyor=\xDE\xFCkr\xFC \xC7"
                                                      "a\xF0layan \xDD\xD0"
                                                      "DIR \xFD\n");
  EXPECT_EQ(ini.ReadString("OFFSETS", "Surveyor", QString()), surveyor);
  EXPECT_EQ(ini.ReadString("OFFSETS", "Missing", QStringLiteral("none")), QStringLiteral("none"));
  // The 8-bit reads still see the bytes, and plain literals pick the 8-bit overloads.
  EXPECT_EQ(ini.ReadString("OFFSETS", "Surveyor", "").substr(0, 1), "\xDE");
  ini.WriteString("OFFSETS", "Location", "Bay");
  EXPECT_EQ(ini.ReadString("OFFSETS", "Location", ""), "Bay");
}
