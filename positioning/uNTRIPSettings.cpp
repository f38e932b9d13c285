#include "positioning/uNTRIPSettings.h"

#include "platform/Abort.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/StringList.h"
#include "platform/Time.h"
#include "positioning/RtcmAnalyser.h"
#include "positioning/RtcmReport.h"
#include "positioning/TarvikNTRIPClient.h"
#include "positioning/TarvikSerialGPS.h"
#include "positioning/uRTCMParsing.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include <cstdio>
#include <fstream>

namespace {

const char *const Section = "NTRIP";
// A public caster that serves anyone who registers an e-mail address as user.
const char *const DefaultServer = "rtk2go.com";
const int BaudRates[] = {4800, 9600, 19200, 38400, 57600, 115200};

QString ansi(const std::string &text) { return platform::fromAnsi(text); }
std::string ansi(const QString &text) { return platform::toAnsi(text); }

bool fileExists(const std::string &path) {
  return QFileInfo(QString::fromStdString(path)).isFile();
}

// A tab or a line end inside a field would split the profile's line differently when read back.
std::string profileField(const QString &text) {
  std::string field = ansi(text);
  for (char &c : field)
    if (c == '\t' || c == '\r' || c == '\n')
      c = ' ';
  return field;
}

std::vector<std::string> splitTabs(const std::string &line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::string::npos)
      return fields;
    start = tab + 1;
  }
}

// Replaces the file by writing the lines beside it first, so that a failed write leaves the old
// file whole.
void replaceFile(const std::vector<std::string> &lines, const std::string &path) {
  const std::string temporary = path + ".tmp";
  try {
    platform::saveStringsToFile(lines, temporary);
  } catch (...) {
    std::remove(temporary.c_str());
    throw;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    throw platform::EFileError("Cannot create file \"" + path + "\"");
  }
}

QLabel *label(const char *text, QWidget *parent) {
  return new QLabel(QString::fromUtf8(text), parent);
}

template <class W> W *named(W *widget, const char *name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

std::uint64_t monotonicNow() { return platform::currentClock().monotonicMSecs(); }

} // namespace

TfrmNTRIPSettings::TfrmNTRIPSettings(QWidget *owner)
    : QWidget(owner, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("frmNTRIPSettings"));
  setWindowTitle(QStringLiteral("Tarvik NTRIP Client"));
  setFont(QFont(QStringLiteral("Segoe UI")));
  setFixedSize(320, 498);

  auto *column = new QVBoxLayout(this);
  column->setContentsMargins(8, 8, 8, 8);
  column->setSpacing(4);
  auto *grid = new QGridLayout;
  grid->setVerticalSpacing(3);
  column->addLayout(grid);
  int row = 0;

  boxProfile = named(new QComboBox(this), "boxProfile");
  btnSaveProfile = named(new QPushButton(QStringLiteral("+"), this), "btnSaveProfile");
  btnSaveProfile->setFixedWidth(28);
  auto *profileRow = new QHBoxLayout;
  profileRow->addWidget(boxProfile, 1);
  profileRow->addWidget(btnSaveProfile);
  grid->addWidget(label("Profile", this), row, 0);
  grid->addLayout(profileRow, row++, 1, 1, 3);

  edtServer = named(new QLineEdit(QString::fromLatin1(DefaultServer), this), "edtServer");
  grid->addWidget(label("Server Address", this), row, 0);
  grid->addWidget(edtServer, row, 1);
  edtPort = named(new QLineEdit(QStringLiteral("2101"), this), "edtPort");
  edtPort->setFixedWidth(50);
  grid->addWidget(label("Port", this), row, 2);
  grid->addWidget(edtPort, row++, 3);

  edtUsername = named(new QLineEdit(this), "edtUsername");
  grid->addWidget(label("Username", this), row, 0);
  grid->addWidget(edtUsername, row++, 1, 1, 3);
  edtPassword = named(new QLineEdit(this), "edtPassword");
  edtPassword->setEchoMode(QLineEdit::Password);
  grid->addWidget(label("Password", this), row, 0);
  grid->addWidget(edtPassword, row++, 1, 1, 3);

  rbFromGPS = named(new QRadioButton(QStringLiteral("From GPS"), this), "rbFromGPS");
  rbManual = named(new QRadioButton(QStringLiteral("Manual"), this), "rbManual");
  rbFromGPS->setChecked(true);
  auto *positionRow = new QHBoxLayout;
  positionRow->addWidget(rbFromGPS);
  positionRow->addWidget(rbManual);
  positionRow->addStretch();
  grid->addWidget(label("Output Position", this), row, 0);
  grid->addLayout(positionRow, row++, 1, 1, 3);

  edtLatitude = named(new QLineEdit(QStringLiteral("0.0"), this), "edtLatitude");
  grid->addWidget(label("Latitude (deg)", this), row, 0);
  grid->addWidget(edtLatitude, row++, 1, 1, 3);
  edtLongitude = named(new QLineEdit(QStringLiteral("0.0"), this), "edtLongitude");
  grid->addWidget(label("Longitude (deg)", this), row, 0);
  grid->addWidget(edtLongitude, row++, 1, 1, 3);

  boxMountpoint = named(new QComboBox(this), "boxMountpoint");
  btnFetchSources =
      named(new QPushButton(QStringLiteral("Fetch Sources"), this), "btnFetchSources");
  auto *mountRow = new QHBoxLayout;
  mountRow->addWidget(boxMountpoint, 1);
  mountRow->addWidget(btnFetchSources);
  grid->addWidget(label("Mountpoint", this), row, 0);
  grid->addLayout(mountRow, row++, 1, 1, 3);

  chkShowLog = named(new QCheckBox(QStringLiteral("Show Log"), this), "chkShowLog");
  chkShowLog->setChecked(true);
  pbProgress = named(new QProgressBar(this), "pbProgress");
  pbProgress->setRange(0, 100);
  pbProgress->setValue(0);
  pbProgress->setTextVisible(false);
  auto *logRow = new QHBoxLayout;
  logRow->addWidget(chkShowLog);
  logRow->addWidget(pbProgress, 1);
  column->addLayout(logRow);

  memoLog = named(new QPlainTextEdit(this), "memoLog");
  memoLog->setReadOnly(true);
  memoLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memoLog->setFont(QFont(QStringLiteral("Consolas")));
  column->addWidget(memoLog, 1);

  auto *outputGrid = new QGridLayout;
  column->addLayout(outputGrid);
  chkOutputPort = named(new QCheckBox(QStringLiteral("Enable"), this), "chkOutputPort");
  boxOutputPort = named(new QComboBox(this), "boxOutputPort");
  outputGrid->addWidget(label("Output Port", this), 0, 0);
  outputGrid->addWidget(chkOutputPort, 0, 1);
  outputGrid->addWidget(boxOutputPort, 0, 2);
  boxOutputBaud = named(new QComboBox(this), "boxOutputBaud");
  for (const int rate : BaudRates)
    boxOutputBaud->addItem(QString::number(rate));
  boxOutputBaud->setCurrentIndex(5);
  outputGrid->addWidget(label("Baud", this), 1, 0);
  outputGrid->addWidget(boxOutputBaud, 1, 2);

  QPalette green;
  green.setColor(QPalette::WindowText, Qt::darkGreen);
  lblBytesReceivedValue = named(new QLabel(QStringLiteral("0"), this), "lblBytesReceivedValue");
  lblBytesSentValue = named(new QLabel(QStringLiteral("0"), this), "lblBytesSentValue");
  lblBytesReceivedValue->setPalette(green);
  lblBytesSentValue->setPalette(green);
  auto *counters = new QHBoxLayout;
  counters->addWidget(label("Bytes Received", this));
  counters->addWidget(lblBytesReceivedValue, 1);
  counters->addWidget(label("Bytes Sent", this));
  counters->addWidget(lblBytesSentValue, 1);
  column->addLayout(counters);

  btnConnect = named(new QPushButton(QStringLiteral("Connect"), this), "btnConnect");
  btnFetch = named(new QPushButton(QStringLiteral("Fetch Sources"), this), "btnFetch");
  Button1 = named(new QPushButton(QStringLiteral("RTCM Parsing"), this), "Button1");
  btnClose = named(new QPushButton(QStringLiteral("Close"), this), "btnClose");
  auto *buttons = new QGridLayout;
  buttons->addWidget(btnConnect, 0, 0);
  buttons->addWidget(btnFetch, 0, 1);
  buttons->addWidget(Button1, 1, 0);
  buttons->addWidget(btnClose, 1, 1);
  column->addLayout(buttons);

  tmrUpdate = new QTimer(this);
  tmrUpdate->setInterval(500);

  IniPath = platform::SettingsFilePath();
  ProfilesPath = platform::ExeDir() + "profiles.txt";
  LastDataTime = monotonicNow();

  connect(boxProfile, &QComboBox::activated, this,
          platform::guarded([this] { boxProfileChange(boxProfile); }));
  connect(btnSaveProfile, &QPushButton::clicked, this,
          platform::guarded([this] { btnSaveProfileClick(btnSaveProfile); }));
  connect(btnFetchSources, &QPushButton::clicked, this,
          platform::guarded([this] { btnFetchSourcesClick(btnFetchSources); }));
  connect(btnFetch, &QPushButton::clicked, this,
          platform::guarded([this] { btnFetchSourcesClick(btnFetch); }));
  connect(btnConnect, &QPushButton::clicked, this,
          platform::guarded([this] { btnConnectClick(btnConnect); }));
  connect(rbFromGPS, &QRadioButton::toggled, this,
          platform::guarded([this] { rbFromGPSClick(rbFromGPS); }));
  connect(rbManual, &QRadioButton::toggled, this,
          platform::guarded([this] { rbManualClick(rbManual); }));
  connect(chkShowLog, &QCheckBox::toggled, this,
          platform::guarded([this] { chkShowLogClick(chkShowLog); }));
  connect(chkOutputPort, &QCheckBox::toggled, this,
          platform::guarded([this] { chkOutputPortClick(chkOutputPort); }));
  connect(btnClose, &QPushButton::clicked, this,
          platform::guarded([this] { btnCloseClick(btnClose); }));
  connect(Button1, &QPushButton::clicked, this,
          platform::guarded([this] { Button1Click(Button1); }));
  connect(tmrUpdate, &QTimer::timeout, this,
          platform::guarded([this] { tmrUpdateTimer(tmrUpdate); }));

  platform::guarded([this] { FormCreate(this); })();
  tmrUpdate->start();
}

TfrmNTRIPSettings::~TfrmNTRIPSettings() {
  tmrUpdate->stop();
  FormDestroy(this);
}

void TfrmNTRIPSettings::FormCreate(QObject *) {
  const QString icon = QString::fromStdString(platform::ExeDir() + "TarvikNTRIP.ico");
  if (QFileInfo(icon).isFile())
    setWindowIcon(QIcon(icon));
  FillOutputPortList();
  client = new TTarvikNTRIPClient(this);
  client->OnStatus = [this](QObject *s, int state, const std::string &text) {
    ClientStatusChanged(s, state, text);
  };
  client->OnData = [this](QObject *s, const char *data, int length) {
    ScanBaseStation(s, data, length);
  };
  client->OnSourceTable = [this](QObject *s, const std::vector<std::string> &list) {
    ClientSourceTable(s, list);
  };
  client->OnLog = [this](QObject *s, const std::string &text) { ClientLog(s, text); };
  LoadProfileList();
  LoadNtripSettings();
  AddLogLine("Tarvik NTRIP Client initialized");
}

void TfrmNTRIPSettings::FormDestroy(QObject *) {
  if (!client)
    return;
  // The window is going away: a settings file that cannot be written can no longer be reported.
  try {
    SaveNtripSettings();
  } catch (...) {
  }
  client->OnStatus = nullptr;
  client->OnData = nullptr;
  client->OnSourceTable = nullptr;
  client->OnLog = nullptr;
  CloseOutputPort();
  client->Disconnect();
  delete client;
  client = nullptr;
}

void TfrmNTRIPSettings::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  if (event->spontaneous())
    return;
  for (QWidget *top : QApplication::topLevelWidgets())
    if (auto *main = qobject_cast<QMainWindow *>(top); main && main->isVisible()) {
      move(main->frameGeometry().center() - QPoint(width() / 2, height() / 2));
      break;
    }
}

void TfrmNTRIPSettings::AddLogLine(const std::string &Text) {
  const std::string time = platform::FormatDateTime("hh:nn:ss", platform::Now());
  memoLog->appendPlainText(ansi(time + " " + Text));
  QTextDocument *document = memoLog->document();
  while (document->blockCount() > 100) {
    QTextCursor cursor(document->firstBlock());
    cursor.select(QTextCursor::BlockUnderCursor);
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
  }
}

void TfrmNTRIPSettings::ClientLog(QObject *, const std::string &Text) { AddLogLine(Text); }

void TfrmNTRIPSettings::LoadNtripSettings() {
  // Restoring the check boxes runs their click actions; one of them saves the settings, which
  // must not write back the values not read yet (auto-connect would be lost).
  loading_ = true;
  try {
    platform::IniFile ini(IniPath);
    edtServer->setText(ansi(ini.ReadString(Section, "Server", DefaultServer)));
    edtPort->setText(ansi(ini.ReadString(Section, "Port", "2101")));
    edtUsername->setText(ansi(ini.ReadString(Section, "Username", "")));
    edtPassword->setText(ansi(ini.ReadString(Section, "Password", "")));
    const QString mount = ansi(ini.ReadString(Section, "MountPoint", ""));
    if (!mount.isEmpty()) {
      boxMountpoint->addItem(mount);
      boxMountpoint->setCurrentIndex(boxMountpoint->count() - 1);
    }
    if (ini.ReadBool(Section, "UseManualPosition", false))
      rbManual->setChecked(true);
    else
      rbFromGPS->setChecked(true);
    edtLatitude->setText(ansi(ini.ReadString(Section, "Latitude", "0.0")));
    edtLongitude->setText(ansi(ini.ReadString(Section, "Longitude", "0.0")));
    const int port = boxOutputPort->findText(ansi(ini.ReadString(Section, "OutputPort", "")),
                                             Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (port >= 0)
      boxOutputPort->setCurrentIndex(port);
    boxOutputBaud->setCurrentIndex(ini.ReadInteger(Section, "OutputBaud", 5));
    chkOutputPort->setChecked(ini.ReadBool(Section, "OutputEnabled", false));
    AutoConnectEnabled = ini.ReadBool(Section, "AutoConnect", false);
  } catch (...) {
    loading_ = false;
    throw;
  }
  loading_ = false;
  UpdatePositionControls();
  if (AutoConnectEnabled && !boxMountpoint->currentText().isEmpty()) {
    PendingAutoConnect = true;
    AddLogLine("Auto-connect enabled - will connect on startup");
  }
}

void TfrmNTRIPSettings::SaveNtripSettings() {
  if (loading_)
    return;
  platform::IniFile ini(IniPath);
  ini.WriteString(Section, "Server", ansi(edtServer->text()));
  ini.WriteString(Section, "Port", ansi(edtPort->text()));
  ini.WriteString(Section, "Username", ansi(edtUsername->text()));
  ini.WriteString(Section, "Password", ansi(edtPassword->text()));
  ini.WriteString(Section, "MountPoint", ansi(boxMountpoint->currentText()));
  ini.WriteBool(Section, "UseManualPosition", rbManual->isChecked());
  ini.WriteString(Section, "Latitude", ansi(edtLatitude->text()));
  ini.WriteString(Section, "Longitude", ansi(edtLongitude->text()));
  ini.WriteString(Section, "OutputPort", ansi(boxOutputPort->currentText()));
  ini.WriteInteger(Section, "OutputBaud", boxOutputBaud->currentIndex());
  ini.WriteBool(Section, "OutputEnabled", chkOutputPort->isChecked());
  ini.WriteBool(Section, "AutoConnect", AutoConnectEnabled);
}

void TfrmNTRIPSettings::UpdatePositionControls() {
  const bool manual = rbManual->isChecked();
  for (QLineEdit *edit : {edtLatitude, edtLongitude}) {
    edit->setReadOnly(!manual);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base,
                     QApplication::palette().color(manual ? QPalette::Base : QPalette::Button));
    edit->setPalette(palette);
  }
  if (client)
    client->UseManualPosition = manual;
}

void TfrmNTRIPSettings::rbFromGPSClick(QObject *) { UpdatePositionControls(); }
void TfrmNTRIPSettings::rbManualClick(QObject *) { UpdatePositionControls(); }

void TfrmNTRIPSettings::AttachGpsPort(int Handle, const std::string &PortName) {
  if (!client)
    return;
  client->SetSerialHandle(Handle);
  attachedGpsToken_ = Handle >= 0 ? platform::portTokenFor(Handle) : 0;
  AddLogLine("Serial port handle connected");
  if (!PortName.empty()) {
    GpsPortName = PortName;
    if (boxOutputPort->count() > 0)
      boxOutputPort->setItemText(0, ansi(PortName + " This Port (GPS)"));
  }
}

void TfrmNTRIPSettings::UpdatePositionFromGps(double Latitude, double Longitude, double Height) {
  if (rbManual->isChecked())
    return;
  edtLatitude->setText(QString::fromStdString(platform::FormatFloat("0.00000000", Latitude)));
  edtLongitude->setText(QString::fromStdString(platform::FormatFloat("0.00000000", Longitude)));
  if (client)
    client->SetPosition(Latitude, Longitude, Height);
}

void TfrmNTRIPSettings::LoadProfileList() {
  boxProfile->clear();
  ProfileLines.clear();
  boxProfile->addItem(QStringLiteral("<New Profile>"));
  if (fileExists(ProfilesPath)) {
    try {
      const std::vector<std::string> lines = platform::loadStringsFromFile(ProfilesPath);
      for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t tab = lines[i].find('\t');
        if (tab == std::string::npos)
          continue;
        boxProfile->addItem(ansi(lines[i].substr(0, tab)));
        ProfileLines.push_back(i);
      }
    } catch (...) {
    }
  }
  boxProfile->setCurrentIndex(boxProfile->count() > 1 ? 1 : 0);
}

void TfrmNTRIPSettings::boxProfileChange(QObject *) {
  const int item = boxProfile->currentIndex();
  if (item <= 0 || static_cast<std::size_t>(item) > ProfileLines.size() ||
      !fileExists(ProfilesPath))
    return;
  try {
    const std::vector<std::string> lines = platform::loadStringsFromFile(ProfilesPath);
    const std::size_t at = ProfileLines[static_cast<std::size_t>(item - 1)];
    if (at >= lines.size())
      return;
    const std::vector<std::string> fields = splitTabs(lines[at]);
    if (fields.size() > 4) {
      edtServer->setText(ansi(fields[1]));
      edtPort->setText(ansi(fields[2]));
      edtUsername->setText(ansi(fields[3]));
      edtPassword->setText(ansi(fields[4]));
    }
    if (fields.size() > 6) {
      edtLatitude->setText(ansi(fields[5]));
      edtLongitude->setText(ansi(fields[6]));
    }
  } catch (...) {
  }
}

void TfrmNTRIPSettings::btnSaveProfileClick(QObject *) { SaveProfile(); }

void TfrmNTRIPSettings::SaveProfile() {
  const std::string server = profileField(edtServer->text());
  const std::string port = profileField(edtPort->text());
  const std::string user = profileField(edtUsername->text());
  const std::string name = (user.empty() ? "" : user + "@") + server + ":" + port;
  const std::string line =
      name + "\t" + server + "\t" + port + "\t" + user + "\t" + profileField(edtPassword->text()) +
      "\t" + profileField(edtLatitude->text()) + "\t" + profileField(edtLongitude->text());
  try {
    std::vector<std::string> lines;
    if (fileExists(ProfilesPath))
      lines = platform::loadStringsFromFile(ProfilesPath);
    bool replaced = false;
    for (std::string &existing : lines)
      if (existing.compare(0, name.size() + 1, name + "\t") == 0) {
        existing = line;
        replaced = true;
        break;
      }
    if (!replaced)
      lines.push_back(line);
    replaceFile(lines, ProfilesPath);
    AddLogLine("Profile saved: " + name);
  } catch (...) {
    AddLogLine("Error saving profile");
  }
  LoadProfileList();
  const int item = boxProfile->findText(ansi(name), Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (item >= 0)
    boxProfile->setCurrentIndex(item);
}

void TfrmNTRIPSettings::setFetchEnabled(bool enabled) {
  btnFetchSources->setEnabled(enabled);
  btnFetch->setEnabled(enabled);
}

void TfrmNTRIPSettings::btnFetchSourcesClick(QObject *) {
  client->CasterHost = ansi(edtServer->text());
  client->CasterPort = platform::StrToIntDef(edtPort->text(), 2101);
  client->Username = ansi(edtUsername->text());
  client->Password = ansi(edtPassword->text());
  AddLogLine("Fetching source table...");
  setFetchEnabled(false);
  client->FetchSourceTable();
  // Without a caster address no connection starts and no status will give the buttons back.
  if (!client->Worker)
    setFetchEnabled(true);
}

void TfrmNTRIPSettings::ClientSourceTable(QObject *, const std::vector<std::string> &MountList) {
  setFetchEnabled(true);
  boxMountpoint->clear();
  for (const std::string &mount : MountList)
    boxMountpoint->addItem(ansi(mount));
  if (boxMountpoint->count() > 0)
    boxMountpoint->setCurrentIndex(0);
  AddLogLine("Found " + std::to_string(MountList.size()) + " mount points");
}

void TfrmNTRIPSettings::btnConnectClick(QObject *) {
  if (client->Connected) {
    AddLogLine("Disconnecting (manual)...");
    AutoConnectEnabled = false;
    SaveNtripSettings();
    client->AutoReconnect = false;
    client->Disconnect();
    btnConnect->setText(QStringLiteral("Connect"));
    return;
  }
  if (boxMountpoint->currentText().isEmpty()) {
    AddLogLine("Please select a mountpoint first");
    return;
  }
  SaveNtripSettings();
  client->CasterHost = ansi(edtServer->text());
  client->CasterPort = platform::StrToIntDef(edtPort->text(), 2101);
  client->Username = ansi(edtUsername->text());
  client->Password = ansi(edtPassword->text());
  client->MountPoint = ansi(boxMountpoint->currentText());
  client->UseManualPosition = rbManual->isChecked();
  client->Latitude = platform::StrToFloatDef(edtLatitude->text(), 0);
  client->Longitude = platform::StrToFloatDef(edtLongitude->text(), 0);
  AddLogLine("Position: " + ansi(edtLatitude->text()) + ", " + ansi(edtLongitude->text()));
  AddLogLine("Connecting to " + client->CasterHost + ":" + std::to_string(client->CasterPort) +
             "/" + client->MountPoint);
  client->AutoReconnect = true;
  client->Connect();
  btnConnect->setText(QStringLiteral("Disconnect"));
}

void TfrmNTRIPSettings::ClientStatusChanged(QObject *, int State, const std::string &) {
  if (State == 0 || State == 4) {
    setFetchEnabled(true);
    if (WasReceiving) {
      WasReceiving = false;
      if (!isVisible()) {
        show();
        AddLogLine("Connection lost - showing NTRIP settings");
      }
    }
  }
  if (State == 3) {
    WasReceiving = true;
    if (!AutoConnectEnabled) {
      AutoConnectEnabled = true;
      SaveNtripSettings();
      AddLogLine("Auto-connect enabled for next startup");
    }
  }
  static const char *const buttons[] = {"Connect", "Connecting...", "Disconnect", "Disconnect",
                                        "Connect"};
  static const char *const captions[] = {"Disconnected", "Connecting...", "Connected",
                                         "Receiving Data", "Error"};
  if (State >= 0 && State <= 4) {
    btnConnect->setText(QString::fromLatin1(buttons[State]));
    setWindowTitle(QStringLiteral("Tarvik NTRIP Client - ") + QString::fromLatin1(captions[State]));
  }
}

void TfrmNTRIPSettings::tmrUpdateTimer(QObject *) {
  if (!client)
    return;
  // A GPS port opened (or reopened) since the client was last given one takes the corrections.
  if (GpsPort && GpsPort->PortOpen && GpsPort->PortHandle >= 0) {
    const platform::PortToken token = platform::portTokenFor(GpsPort->PortHandle);
    if (token != 0 && token != attachedGpsToken_)
      AttachGpsPort(GpsPort->PortHandle, GpsPort->PortNameFromNumber(GpsPort->PortNumber));
  }
  if (PendingAutoConnect) {
    PendingAutoConnect = false;
    if (!client->Connected) {
      AddLogLine("Auto-reconnecting...");
      btnConnectClick(btnConnect);
    }
  }
  if (WasReceiving && client->Connected && monotonicNow() - LastDataTime > 30000 && !isVisible()) {
    show();
    AddLogLine("No data received for 30 seconds - showing NTRIP settings");
  }
  lblBytesReceivedValue->setText(
      QString::fromStdString(platform::FormatFloat("###,###,###,##0", client->BytesReceived)));
  lblBytesSentValue->setText(
      QString::fromStdString(platform::FormatFloat("###,###,###,##0", client->BytesSent)));
  pbProgress->setValue((client->BytesReceived % 5000) / 50);
}

void TfrmNTRIPSettings::FillOutputPortList() {
  boxOutputPort->clear();
  boxOutputPort->addItem(QStringLiteral("This port (GPS)"));
  for (const std::string &port : platform::listComPorts())
    boxOutputPort->addItem(ansi(port));
  boxOutputPort->setCurrentIndex(0);
}

void TfrmNTRIPSettings::chkOutputPortClick(QObject *) {
  if (chkOutputPort->isChecked())
    OpenOutputPort();
  else
    CloseOutputPort();
  SaveNtripSettings();
}

void TfrmNTRIPSettings::OpenOutputPort() {
  if (OutputActive)
    CloseOutputPort();
  const int item = boxOutputPort->currentIndex();
  if (item < 0) {
    AddLogLine("No output port selected");
    chkOutputPort->setChecked(false);
    return;
  }
  if (item == 0) {
    OutputActive = true;
    client->ForwardToSerial = true;
    AddLogLine("Output enabled: Using GPS input port");
    return;
  }
  client->ForwardToSerial = false;
  const std::string name = ansi(boxOutputPort->currentText());
  int number = 0;
  const bool named = name.size() > 3 && name.compare(0, 3, "COM") == 0 &&
                     platform::TryStrToInt(name.substr(3), number) && number > 0;
  const std::string device = named ? platform::comDevicePath(number) : std::string();
  if (device.empty() || !OutputSerial.open(device)) {
    AddLogLine("Failed to open output port: " + name);
    chkOutputPort->setChecked(false);
    return;
  }
  const int baudIndex = boxOutputBaud->currentIndex();
  platform::SerialLineSettings settings;
  settings.baudRate = baudIndex >= 0 && baudIndex <= 5 ? BaudRates[baudIndex] : 115200;
  settings.dataBits = 8;
  settings.parity = platform::SerialParity::None;
  settings.stopBits = platform::SerialStopBits::One;
  settings.parityCheck = false;
  settings.dtr = true;
  settings.rts = true;
  if (!OutputSerial.configure(settings)) {
    OutputSerial.close();
    AddLogLine("Failed to configure output port");
    chkOutputPort->setChecked(false);
    return;
  }
  OutputActive = true;
  AddLogLine("Output port opened: " + name + " @ " + std::to_string(settings.baudRate));
}

void TfrmNTRIPSettings::CloseOutputPort() {
  if (OutputSerial.isOpen()) {
    OutputSerial.close();
    AddLogLine("Output port closed");
  }
  OutputActive = false;
  if (client)
    client->ForwardToSerial = true;
}

void TfrmNTRIPSettings::WriteOutputPort(const char *Data, int Length) {
  if (OutputActive && boxOutputPort->currentIndex() != 0 && OutputSerial.isOpen() && Length > 0)
    OutputSerial.write(Data, static_cast<std::size_t>(Length));
}

std::string TfrmNTRIPSettings::EventLogFolder() {
  return platform::SurveyRoot() + platform::FormatDateTime("yyyy-mm-dd", platform::Now()) + "/LOG/";
}

std::string TfrmNTRIPSettings::EventLogFile() {
  return EventLogFolder() + platform::FormatDateTime("yyyy-mm-dd", platform::Now()) + " Events.log";
}

void TfrmNTRIPSettings::noteBaseStationEvent(int id, const std::string &text) {
  try {
    if (!QFileInfo(QString::fromStdString(EventLogFolder())).isDir())
      return;
    const std::string path = EventLogFile();
    const std::string record = "Auto Event:\t" +
                               platform::FormatDateTime("yyyy-mm-dd hhnnss", platform::Now()) +
                               "000\tNTRIP Base Station #" + std::to_string(id) + ": " + text;
    // Appended, not rewritten: the other records stay as they are whatever happens to this
    // write. The record starts on a line of its own, as the other writers' records do.
    std::string last;
    {
      std::ifstream in(path, std::ios::binary | std::ios::ate);
      if (in && in.tellg() > 0) {
        in.seekg(-1, std::ios::end);
        last.resize(1);
        in.read(last.data(), 1);
      }
    }
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!last.empty() && last != "\n" && last != "\r")
      out << "\r\n";
    out << record << "\r\n";
  } catch (...) {
  }
}

void TfrmNTRIPSettings::ScanBaseStation(QObject *, const char *Data, int Length) {
  LastDataTime = monotonicNow();
  if (OutputActive && OutputSerial.isOpen())
    WriteOutputPort(Data, Length);
  if (Length <= 0)
    return;
  for (const platform::RtcmStationFix &fix :
       platform::rtcmStationFixes(std::string_view(Data, static_cast<std::size_t>(Length)))) {
    if (!fix.PositionValid)
      continue;
    if (fix.StationId == LastBaseStation.Id &&
        std::fabs(fix.Latitude - LastBaseStation.Latitude) <= 0.00001 &&
        std::fabs(fix.Longitude - LastBaseStation.Longitude) <= 0.00001)
      continue;
    const std::string text = platform::baseStationText(fix.Latitude, fix.Longitude, fix.Height);
    AddLogLine("Base #" + std::to_string(fix.StationId) + ": " + text);
    noteBaseStationEvent(fix.StationId, text);
    LastBaseStation = {fix.StationId, fix.Latitude, fix.Longitude, fix.Height};
  }
}

void TfrmNTRIPSettings::chkShowLogClick(QObject *) { memoLog->setVisible(chkShowLog->isChecked()); }

void TfrmNTRIPSettings::btnCloseClick(QObject *) { close(); }

std::string TfrmNTRIPSettings::RtcmMessageName(int Number) const {
  return platform::rtcmMessageName(Number);
}

void TfrmNTRIPSettings::Button1Click(QObject *) {
  // One copy, taken under the client's lock, serves the whole analysis.
  const std::string bytes = client ? client->RecentData() : std::string();
  if (!client || bytes.size() < 6) {
    AddLogLine("No RTCM data to parse");
    return;
  }
  if (!fRTCMParsing) {
    ownReport_ = std::make_unique<TfRTCMParsing>(nullptr);
    fRTCMParsing = ownReport_.get();
  }
  fRTCMParsing->ClearReport();
  fRTCMParsing->show();

  const platform::RtcmAnalysis analysis = platform::analyseRtcm(bytes);
  platform::RtcmReportContext context;
  context.BufferSize = bytes.size();
  context.LocalTime = platform::Now();
  context.StandardOffsetMinutes = platform::StandardZoneOffsetMinutes();
  context.VesselLatitude = client->Latitude;
  context.VesselLongitude = client->Longitude;
  context.VesselHeight = client->Height;
  context.ManualPosition = client->UseManualPosition;
  for (const std::string &line : platform::rtcmReport(analysis, context))
    fRTCMParsing->AddReportLine(line);

  if (!analysis.PositionValid)
    return;
  const BaseStation &last = LastBaseStation;
  const bool changed = analysis.StationId != last.Id ||
                       (last.Latitude == 0 && last.Longitude == 0) ||
                       std::fabs(analysis.Latitude - last.Latitude) > 0.00001 ||
                       std::fabs(analysis.Longitude - last.Longitude) > 0.00001;
  if (changed) {
    AddLogLine("Base #" + std::to_string(analysis.StationId) + ": " +
               platform::baseStationText(analysis.Latitude, analysis.Longitude, analysis.Height));
    LastBaseStation = {analysis.StationId, analysis.Latitude, analysis.Longitude, analysis.Height};
  }
}
