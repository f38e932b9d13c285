// The NTRIP window's settings and texts without the window: section "NTRIP" of a real settings
// file in a temporary folder, read and written under its exact keys, and the texts the window
// shows for the client.
#include "positioning/NtripSettingsModel.h"
#include "platform/IniFile.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

class NtripSettingsFile : public ::testing::Test {
protected:
  std::string path() const { return dir.file("TarvikSondrel.INI"); }
  testsupport::TempDir dir;
};

TEST_F(NtripSettingsFile, MissingKeysGiveTheDefaults) {
  testsupport::writeFile(path(), "[NTRIP]\r\nPort=2105\r\nOutputBaud=fast\r\n");
  const NtripSettingsValues v = NtripSettingsModel(path()).Load();
  EXPECT_EQ(v.Server, "rtk2go.com");
  EXPECT_EQ(v.Port, "2105");
  EXPECT_EQ(v.Username, "");
  EXPECT_EQ(v.MountPoint, "");
  EXPECT_FALSE(v.UseManualPosition);
  EXPECT_EQ(v.Latitude, "0.0");
  EXPECT_EQ(v.Longitude, "0.0");
  EXPECT_EQ(v.OutputBaud, 5); // not a number
  EXPECT_FALSE(v.OutputEnabled);
  EXPECT_FALSE(v.AutoConnect);
  // No file at all reads the same defaults, and reading writes nothing.
  const NtripSettingsValues none = NtripSettingsModel(dir.file("none.INI")).Load();
  EXPECT_EQ(none.Server, "rtk2go.com");
  EXPECT_EQ(none.Port, "2101");
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.file("none.INI"))));
}

TEST_F(NtripSettingsFile, RoundTripUnderTheExactKeys) {
  // Another section and a comment stay as they are.
  testsupport::writeFile(path(), "[GPS]\r\nPort=COM3\r\n; kept\r\n");
  NtripSettingsValues v;
  v.Server = "\xE7"
             "aster.\xF6rnek"; // "çaster.örnek" in Windows-1254
  v.Port = "2105";
  v.Username = "u";
  v.Password = "p w\xFE";
  v.MountPoint = "MOUNT7";
  v.UseManualPosition = true;
  v.Latitude = "40.5";
  v.Longitude = "-3.25";
  v.OutputPort = "COM5";
  v.OutputBaud = 2;
  v.OutputEnabled = true;
  v.AutoConnect = false;
  const NtripSettingsModel model(path());
  model.Save(v);

  EXPECT_EQ(testsupport::readFile(path()), "[GPS]\r\nPort=COM3\r\n; kept\r\n"
                                           "\r\n"
                                           "[NTRIP]\r\n"
                                           "Server=\xE7"
                                           "aster.\xF6rnek\r\n"
                                           "Port=2105\r\n"
                                           "Username=u\r\n"
                                           "Password=p w\xFE\r\n"
                                           "MountPoint=MOUNT7\r\n"
                                           "UseManualPosition=1\r\n"
                                           "Latitude=40.5\r\n"
                                           "Longitude=-3.25\r\n"
                                           "OutputPort=COM5\r\n"
                                           "OutputBaud=2\r\n"
                                           "OutputEnabled=1\r\n"
                                           "AutoConnect=0\r\n");

  const NtripSettingsValues back = model.Load();
  EXPECT_EQ(back.Server, v.Server);
  EXPECT_EQ(back.Port, v.Port);
  EXPECT_EQ(back.Username, v.Username);
  EXPECT_EQ(back.Password, v.Password);
  EXPECT_EQ(back.MountPoint, v.MountPoint);
  EXPECT_TRUE(back.UseManualPosition);
  EXPECT_EQ(back.Latitude, v.Latitude);
  EXPECT_EQ(back.Longitude, v.Longitude);
  EXPECT_EQ(back.OutputPort, v.OutputPort);
  EXPECT_EQ(back.OutputBaud, 2);
  EXPECT_TRUE(back.OutputEnabled);
  EXPECT_FALSE(back.AutoConnect);

  // A second save rewrites the keys in place.
  v.AutoConnect = true;
  model.Save(v);
  EXPECT_EQ(platform::IniFile(path()).ReadSection("NTRIP").size(), 12u);
  EXPECT_TRUE(model.Load().AutoConnect);
}

TEST_F(NtripSettingsFile, SaveThatCannotBeWrittenRaises) {
  const NtripSettingsModel model(dir.file("missing/folder/TarvikSondrel.INI"));
  EXPECT_THROW(model.Save(NtripSettingsValues{}), platform::EIniFileException);
}

TEST(NtripSettingsTexts, TheWindowsTextsBecomeTheClientsNumbers) {
  EXPECT_EQ(NtripSettingsModel::CasterPort("2102"), 2102);
  EXPECT_EQ(NtripSettingsModel::CasterPort(""), 2101);
  EXPECT_EQ(NtripSettingsModel::CasterPort("21o1"), 2101);
  EXPECT_DOUBLE_EQ(NtripSettingsModel::Degrees("41.0123"), 41.0123);
  EXPECT_DOUBLE_EQ(NtripSettingsModel::Degrees("-3.25"), -3.25);
  EXPECT_DOUBLE_EQ(NtripSettingsModel::Degrees("north"), 0);

  const std::pair<int, int> bauds[] = {{-1, 115200}, {0, 4800},   {1, 9600},
                                       {2, 19200},   {3, 38400},  {4, 57600},
                                       {5, 115200},  {6, 115200}, {9, 115200}};
  for (const auto &[index, rate] : bauds)
    EXPECT_EQ(NtripSettingsModel::BaudRate(index), rate) << index;
}

TEST(NtripSettingsTexts, StateCaptions) {
  struct Case {
    int state;
    const char *button, *caption;
  };
  for (const Case &c :
       {Case{0, "Connect", "Tarvik NTRIP Client - Disconnected"},
        Case{1, "Connecting...", "Tarvik NTRIP Client - Connecting..."},
        Case{2, "Disconnect", "Tarvik NTRIP Client - Connected"},
        Case{3, "Disconnect", "Tarvik NTRIP Client - Receiving Data"},
        Case{4, "Connect", "Tarvik NTRIP Client - Error"}, Case{5, "", ""}, Case{-1, "", ""}}) {
    EXPECT_EQ(NtripSettingsModel::ConnectButtonText(c.state), c.button) << c.state;
    EXPECT_EQ(NtripSettingsModel::WindowCaption(c.state), c.caption) << c.state;
  }
}

TEST(NtripSettingsTexts, CountersAndSilence) {
  EXPECT_EQ(NtripSettingsModel::CounterText(0), "0");
  EXPECT_EQ(NtripSettingsModel::CounterText(1234567), "1,234,567");
  EXPECT_EQ(NtripSettingsModel::ProgressValue(0), 0);
  EXPECT_EQ(NtripSettingsModel::ProgressValue(4999), 99);
  EXPECT_EQ(NtripSettingsModel::ProgressValue(5049), 0);
  EXPECT_EQ(NtripSettingsModel::ProgressValue(12345), 46);
  EXPECT_FALSE(NtripSettingsModel::DataOverdue(130000, 100000));
  EXPECT_TRUE(NtripSettingsModel::DataOverdue(130001, 100000));
}

} // namespace
