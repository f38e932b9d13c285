#include "navigator/corrections/NtripSettingsWindow.h"

#include "navigator/corrections/RtcmReportWindow.h"
#include "platform/Abort.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"
#include "platform/Paths.h"
#include "platform/Time.h"
#include "positioning/NtripBaseStation.h"
#include "positioning/NtripOutputPort.h"
#include "positioning/NtripProfiles.h"
#include "positioning/NtripSettingsModel.h"
#include "positioning/RtcmAnalyser.h"
#include "positioning/TarvikNTRIPClient.h"
#include "positioning/TarvikSerialGPS.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
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

namespace {

QString ansi(const std::string &text) { return platform::fromAnsi(text); }
std::string ansi(const QString &text) { return platform::toAnsi(text); }

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

  const NtripSettingsValues designed;
  edtServer = named(new QLineEdit(ansi(designed.Server), this), "edtServer");
  grid->addWidget(label("Server Address", this), row, 0);
  grid->addWidget(edtServer, row, 1);
  edtPort = named(new QLineEdit(ansi(designed.Port), this), "edtPort");
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

  edtLatitude = named(new QLineEdit(ansi(designed.Latitude), this), "edtLatitude");
  grid->addWidget(label("Latitude (deg)", this), row, 0);
  grid->addWidget(edtLatitude, row++, 1, 1, 3);
  edtLongitude = named(new QLineEdit(ansi(designed.Longitude), this), "edtLongitude");
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
  for (const int rate : NtripSettingsModel::BaudRates())
    boxOutputBaud->addItem(QString::number(rate));
  boxOutputBaud->setCurrentIndex(designed.OutputBaud);
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
    const NtripSettingsValues v = NtripSettingsModel(IniPath).Load();
    edtServer->setText(ansi(v.Server));
    edtPort->setText(ansi(v.Port));
    edtUsername->setText(ansi(v.Username));
    edtPassword->setText(ansi(v.Password));
    if (!v.MountPoint.empty()) {
      boxMountpoint->addItem(ansi(v.MountPoint));
      boxMountpoint->setCurrentIndex(boxMountpoint->count() - 1);
    }
    if (v.UseManualPosition)
      rbManual->setChecked(true);
    else
      rbFromGPS->setChecked(true);
    edtLatitude->setText(ansi(v.Latitude));
    edtLongitude->setText(ansi(v.Longitude));
    const int port =
        boxOutputPort->findText(ansi(v.OutputPort), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (port >= 0)
      boxOutputPort->setCurrentIndex(port);
    boxOutputBaud->setCurrentIndex(v.OutputBaud);
    chkOutputPort->setChecked(v.OutputEnabled);
    AutoConnectEnabled = v.AutoConnect;
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
  NtripSettingsValues v;
  v.Server = ansi(edtServer->text());
  v.Port = ansi(edtPort->text());
  v.Username = ansi(edtUsername->text());
  v.Password = ansi(edtPassword->text());
  v.MountPoint = ansi(boxMountpoint->currentText());
  v.UseManualPosition = rbManual->isChecked();
  v.Latitude = ansi(edtLatitude->text());
  v.Longitude = ansi(edtLongitude->text());
  v.OutputPort = ansi(boxOutputPort->currentText());
  v.OutputBaud = boxOutputBaud->currentIndex();
  v.OutputEnabled = chkOutputPort->isChecked();
  v.AutoConnect = AutoConnectEnabled;
  NtripSettingsModel(IniPath).Save(v);
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
  std::string unreadable;
  for (const NtripProfiles::Entry &entry : NtripProfiles(ProfilesPath).List(&unreadable)) {
    boxProfile->addItem(ansi(entry.Name));
    ProfileLines.push_back(entry.Line);
  }
  // The saved profiles are not lost, only not shown: the surveyor is told why.
  if (!unreadable.empty())
    AddLogLine("Profiles not loaded: " + platform::pathToAnsi(unreadable));
  boxProfile->setCurrentIndex(boxProfile->count() > 1 ? 1 : 0);
}

void TfrmNTRIPSettings::boxProfileChange(QObject *) {
  const int item = boxProfile->currentIndex();
  if (item <= 0 || static_cast<std::size_t>(item) > ProfileLines.size())
    return;
  const NtripProfiles::Stored stored =
      NtripProfiles(ProfilesPath).Read(ProfileLines[static_cast<std::size_t>(item - 1)]);
  const NtripProfile &p = stored.Profile;
  if (stored.HasAccount) {
    edtServer->setText(ansi(p.Server));
    edtPort->setText(ansi(p.Port));
    edtUsername->setText(ansi(p.Username));
    edtPassword->setText(ansi(p.Password));
  }
  if (stored.HasPosition) {
    edtLatitude->setText(ansi(p.Latitude));
    edtLongitude->setText(ansi(p.Longitude));
  }
}

void TfrmNTRIPSettings::btnSaveProfileClick(QObject *) { SaveProfile(); }

void TfrmNTRIPSettings::SaveProfile() {
  NtripProfile profile;
  profile.Server = ansi(edtServer->text());
  profile.Port = ansi(edtPort->text());
  profile.Username = ansi(edtUsername->text());
  profile.Password = ansi(edtPassword->text());
  profile.Latitude = ansi(edtLatitude->text());
  profile.Longitude = ansi(edtLongitude->text());
  const std::string name = profile.Name();
  try {
    NtripProfiles(ProfilesPath).Save(profile);
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
  client->CasterPort = NtripSettingsModel::CasterPort(ansi(edtPort->text()));
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
  // While a connection or a source-table fetch is under way the button reads "Connecting...":
  // a click calls it off, as "Disconnect" does for a stream. The caster may take its time, and
  // the surveyor must not have to wait for it.
  const bool connecting = client->Worker && client->ConnectionState == 1;
  if (client->Connected || connecting) {
    AddLogLine("Disconnecting (manual)...");
    AutoConnectEnabled = false;
    SaveNtripSettings();
    client->AutoReconnect = false;
    client->Disconnect();
    btnConnect->setText(QStringLiteral("Connect"));
    if (connecting) {
      // No status follows a manual disconnect: the window must not go on saying "Connecting...".
      setWindowTitle(QString::fromLatin1(NtripSettingsModel::WindowCaption(0)));
      setFetchEnabled(true);
    }
    return;
  }
  if (boxMountpoint->currentText().isEmpty()) {
    AddLogLine("Please select a mountpoint first");
    return;
  }
  SaveNtripSettings();
  client->CasterHost = ansi(edtServer->text());
  client->CasterPort = NtripSettingsModel::CasterPort(ansi(edtPort->text()));
  client->Username = ansi(edtUsername->text());
  client->Password = ansi(edtPassword->text());
  client->MountPoint = ansi(boxMountpoint->currentText());
  client->UseManualPosition = rbManual->isChecked();
  client->Latitude = NtripSettingsModel::Degrees(ansi(edtLatitude->text()));
  client->Longitude = NtripSettingsModel::Degrees(ansi(edtLongitude->text()));
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
  const std::string button = NtripSettingsModel::ConnectButtonText(State);
  if (!button.empty()) {
    btnConnect->setText(QString::fromLatin1(button));
    setWindowTitle(QString::fromLatin1(NtripSettingsModel::WindowCaption(State)));
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
  if (WasReceiving && client->Connected &&
      NtripSettingsModel::DataOverdue(monotonicNow(), LastDataTime) && !isVisible()) {
    show();
    AddLogLine("No data received for 30 seconds - showing NTRIP settings");
  }
  lblBytesReceivedValue->setText(
      QString::fromStdString(NtripSettingsModel::CounterText(client->BytesReceived)));
  lblBytesSentValue->setText(
      QString::fromStdString(NtripSettingsModel::CounterText(client->BytesSent)));
  pbProgress->setValue(NtripSettingsModel::ProgressValue(client->BytesReceived));
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
  const NtripOutputOpening opening = openNtripOutputPort(
      OutputSerial, ansi(boxOutputPort->currentText()), boxOutputBaud->currentIndex());
  AddLogLine(opening.LogLine);
  if (!opening.Opened) {
    chkOutputPort->setChecked(false);
    return;
  }
  OutputActive = true;
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

void TfrmNTRIPSettings::ScanBaseStation(QObject *, const char *Data, int Length) {
  LastDataTime = monotonicNow();
  if (OutputActive && OutputSerial.isOpen())
    WriteOutputPort(Data, Length);
  if (Length <= 0)
    return;
  for (const NtripBaseStation &station :
       newBaseStations(LastBaseStation, std::string_view(Data, static_cast<std::size_t>(Length)))) {
    AddLogLine(baseStationLogLine(station));
    noteBaseStationEvent(station);
  }
}

void TfrmNTRIPSettings::chkShowLogClick(QObject *) { memoLog->setVisible(chkShowLog->isChecked()); }

void TfrmNTRIPSettings::btnCloseClick(QObject *) { close(); }

std::string TfrmNTRIPSettings::RtcmMessageName(int Number) const {
  return positioning::rtcmMessageName(Number);
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

  const NtripSettingsModel::AnalyserRun run = NtripSettingsModel::Analyse(
      bytes, client->Latitude, client->Longitude, client->Height, client->UseManualPosition);
  for (const std::string &line : run.Report)
    fRTCMParsing->AddReportLine(line);

  const positioning::RtcmAnalysis &analysis = run.Analysis;
  if (!analysis.PositionValid)
    return;
  const BaseStation found{analysis.StationId, analysis.Latitude, analysis.Longitude,
                          analysis.Height};
  if (analysedBaseStationIsNew(LastBaseStation, found)) {
    AddLogLine(baseStationLogLine(found));
    LastBaseStation = found;
  }
}
