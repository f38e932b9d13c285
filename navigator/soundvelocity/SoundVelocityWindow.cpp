#include "navigator/soundvelocity/SoundVelocityWindow.h"

#include "navigator/acquisition/SurveyDay.h"
#include "navigator/shared/FormPlacement.h"
#include "navigator/shared/MainWindowServices.h"
#include "navigator/shared/MessageWindow.h"
#include "navigator/soundvelocity/SvpGraphWindow.h"
#include "navigator/windows/OffsetsWindow.h"
#include "platform/Abort.h"
#include "platform/CodePage.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/StringList.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <stdexcept>

namespace {

const char *const Section = "SVP";

bool fileExists(const std::string &path) { return QFileInfo(platform::pathText(path)).isFile(); }

// The dated name of a memo file in the day's SVP folder: the date of this moment, so that after
// midnight the names carry the new date inside the start-up day's folder.
std::string datedMemoPath(const std::string &name) {
  return SurveyDay().SvpFolder + SessionDateString() + " " + name;
}

QString rowsText(const std::vector<std::string> &rows) {
  QString text;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (i > 0)
      text += QLatin1Char('\n');
    text += platform::fromWindows1254(rows[i]);
  }
  return text;
}

std::vector<std::string> textRows(const QString &text) {
  std::vector<std::string> rows;
  if (text.isEmpty())
    return rows;
  for (const QString &line : text.split(QLatin1Char('\n')))
    rows.push_back(platform::toWindows1254(line));
  return rows;
}

QToolButton *arrowButton(const QString &name, QWidget *parent) {
  auto *b = new QToolButton(parent);
  b->setObjectName(name);
  b->setArrowType(Qt::RightArrow);
  return b;
}

} // namespace

const std::vector<std::string> &TfSVP::MemoNames() {
  static const std::vector<std::string> names = {"mRawSVData.ini", "mRawSVExtracted.ini",
                                                 "mSortedAveragedSV.ini", "mSVPColumn.ini"};
  return names;
}

TfSVP::TfSVP(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Window), Windows(windows) {
  setObjectName(QStringLiteral("fSVP"));
  setWindowTitle(QStringLiteral("Sound Velocity"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  resize(860, 520);

  auto *column = new QVBoxLayout(this);

  // The four lists side by side, each under its caption, with the steps' arrows between them.
  auto *lists = new QGridLayout;
  const QString captions[] = {QStringLiteral("Source SVP Data"), QStringLiteral("Raw SV values"),
                              QStringLiteral("Averaged SV Values"), QStringLiteral("SV Column")};
  const QString names[] = {QStringLiteral("mRawSVData"), QStringLiteral("mRawSVExtracted"),
                           QStringLiteral("mSortedAveragedSV"), QStringLiteral("mSVPColumn")};
  QPlainTextEdit **memos[] = {&mRawSVData, &mRawSVExtracted, &mSortedAveragedSV, &mSVPColumn};
  for (int i = 0; i < 4; ++i) {
    lists->addWidget(new QLabel(captions[i], this), 0, i);
    auto *m = new QPlainTextEdit(this);
    m->setObjectName(names[i]);
    m->setLineWrapMode(QPlainTextEdit::NoWrap);
    m->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    lists->addWidget(m, 1, i);
    *memos[i] = m;
  }
  bRawToSVV = arrowButton(QStringLiteral("bRawToSVV"), this);
  bSVVtoAveragedSV = arrowButton(QStringLiteral("bSVVtoAveragedSV"), this);
  bAveragedSVtoSVP = arrowButton(QStringLiteral("bAveragedSVtoSVP"), this);
  lists->addWidget(bRawToSVV, 2, 0, Qt::AlignRight);
  lists->addWidget(bSVVtoAveragedSV, 2, 1, Qt::AlignRight);
  lists->addWidget(bAveragedSVtoSVP, 2, 2, Qt::AlignRight);
  column->addLayout(lists, 1);

  // The parameters, with the pop-up menu of defaults and detection on the group and its controls.
  auto *group = new QGroupBox(this);
  group->setObjectName(QStringLiteral("gParameters"));
  auto *params = new QHBoxLayout(group);
  params->addWidget(new QLabel(QStringLiteral("Format Identifier for SV & P"), group));
  eSearchString = new QLineEdit(QString::fromLatin1(svp::DefaultSearchString), group);
  eSearchString->setObjectName(QStringLiteral("eSearchString"));
  params->addWidget(eSearchString, 1);
  rSVFirst = new QRadioButton(QStringLiteral("SV first"), group);
  rSVFirst->setObjectName(QStringLiteral("rSVFirst"));
  rSVFirst->setChecked(true);
  params->addWidget(rSVFirst);
  rDFirst = new QRadioButton(QStringLiteral("Depth first"), group);
  rDFirst->setObjectName(QStringLiteral("rDFirst"));
  params->addWidget(rDFirst);
  params->addWidget(new QLabel(QStringLiteral("Max Depth"), group));
  eMaxDepth = new QLineEdit(QString::fromLatin1(svp::DefaultMaxDepth), group);
  eMaxDepth->setObjectName(QStringLiteral("eMaxDepth"));
  eMaxDepth->setMaximumWidth(70);
  params->addWidget(eMaxDepth);
  column->addWidget(group);

  mDefault = new QMenu(this);
  mDefault->setObjectName(QStringLiteral("mDefault"));
  QAction *defaults = mDefault->addAction(QStringLiteral("Defaults"));
  defaults->setObjectName(QStringLiteral("Defaults1"));
  QAction *detect = mDefault->addAction(QStringLiteral("Auto Dedetct"));
  detect->setObjectName(QStringLiteral("AutoDedetct1"));
  connect(defaults, &QAction::triggered, platform::guarded([this] { Defaults1Click(); }));
  connect(detect, &QAction::triggered, platform::guarded([this] { AutoDedetct1Click(); }));
  for (QWidget *w :
       std::initializer_list<QWidget *>{group, eSearchString, rSVFirst, rDFirst, eMaxDepth}) {
    w->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(w, &QWidget::customContextMenuRequested,
            [this, w](const QPoint &pos) { mDefault->popup(w->mapToGlobal(pos)); });
  }
  eSearchString->installEventFilter(this);

  auto *buttons = new QHBoxLayout;
  BitBtn1 = new QPushButton(QStringLiteral("SVP"), this);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  buttons->addWidget(BitBtn1);
  bGraph = new QPushButton(QStringLiteral("Graph"), this);
  bGraph->setObjectName(QStringLiteral("bGraph"));
  buttons->addWidget(bGraph);
  cUseSVP = new QCheckBox(QStringLiteral("Use Sound Velocity Profile"), this);
  cUseSVP->setObjectName(QStringLiteral("cUseSVP"));
  buttons->addWidget(cUseSVP, 1);
  bSaveClose = new QPushButton(QStringLiteral("Save && Close"), this);
  bSaveClose->setObjectName(QStringLiteral("bSaveClose"));
  bSaveClose->setEnabled(false);
  buttons->addWidget(bSaveClose);
  column->addLayout(buttons);

  connect(BitBtn1, &QPushButton::clicked, platform::guarded([this] { BitBtn1Click(); }));
  connect(bGraph, &QPushButton::clicked, platform::guarded([this] { bGraphClick(); }));
  connect(bRawToSVV, &QToolButton::clicked, platform::guarded([this] { bRawToSVVClick(); }));
  connect(bSVVtoAveragedSV, &QToolButton::clicked,
          platform::guarded([this] { bSVVtoAveragedSVClick(); }));
  connect(bAveragedSVtoSVP, &QToolButton::clicked,
          platform::guarded([this] { bAveragedSVtoSVPClick(); }));
  connect(cUseSVP, &QCheckBox::toggled, platform::guarded([this] { cUseSVPClick(); }));
  connect(bSaveClose, &QPushButton::clicked, platform::guarded([this] { BitBtn2Click(); }));
  for (std::size_t i = 0; i < 4; ++i)
    connect(memo(i), &QPlainTextEdit::textChanged, [this, i] { memoEdited(i); });

  FormCreate();
}

bool TfSVP::turkish() const { return Windows.Main && Windows.Main->turkishMessages(); }

std::vector<std::string> *TfSVP::list(std::size_t index) {
  std::vector<std::string> *lists[] = {&Profile.mRawSVData, &Profile.mRawSVExtracted,
                                       &Profile.mSortedAveragedSV, &Profile.mSVPColumn};
  return lists[index];
}

QPlainTextEdit *TfSVP::memo(std::size_t index) const {
  QPlainTextEdit *memos[] = {mRawSVData, mRawSVExtracted, mSortedAveragedSV, mSVPColumn};
  return memos[index];
}

void TfSVP::showLists() {
  showingLists_ = true;
  for (std::size_t i = 0; i < 4; ++i) {
    const QString text = rowsText(*list(i));
    if (memo(i)->toPlainText() != text)
      memo(i)->setPlainText(text);
  }
  showingLists_ = false;
}

void TfSVP::memoEdited(std::size_t index) {
  if (showingLists_)
    return;
  *list(index) = textRows(memo(index)->toPlainText());
  // A column typed by hand is read as it stands, as the depth correction always did.
  if (index == 3) {
    Profile.publishColumn();
    columnChanged();
  }
}

// ---- Creation, show and close

void TfSVP::FormCreate() {
  const auto &names = MemoNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    for (const std::string &path : {platform::ExeDir() + names[i], datedMemoPath(names[i])}) {
      if (!fileExists(path))
        continue;
      try {
        *list(i) = platform::loadStringsFromFile(path, svp::SourceSizeLimit);
      } catch (const platform::EFileTooLarge &e) {
        // Left unread, and said where the surveyor sees it without a box holding the start.
        if (Windows.FMsg && Windows.FMsg->Msg) {
          Windows.FMsg->Msg->appendPlainText(QString::fromUtf8(e.what()));
          Windows.FMsg->show();
        }
      } catch (...) {
        // A memo that cannot be read leaves the list as it was.
      }
    }
  }
  Profile.publishColumn();
  columnChanged();
  showLists();

  const platform::IniFile ini(platform::SettingsFilePath());
  eSearchString->setText(platform::fromWindows1254(
      ini.ReadString(Section, "eSearchString", platform::toWindows1254(eSearchString->text()))));
  eMaxDepth->setText(platform::fromWindows1254(
      ini.ReadString(Section, "eMaxDepth", platform::toWindows1254(eMaxDepth->text()))));
  if (ini.ReadBool(Section, "rDFirst", false))
    rDFirst->setChecked(true);
  if (ini.ReadBool(Section, "rSVFirst", true))
    rSVFirst->setChecked(true);
  if (ini.ReadBool(Section, "cUseSVP", false) && !svp::blankRows(Profile.mSVPColumn))
    cUseSVP->setChecked(true);
}

void TfSVP::FormShow() { RestoreFormPlacement(this, 0); }

void TfSVP::FormCloseQuery(bool &CanClose) {
  CanClose = true;
  platform::IniFile ini(platform::SettingsFilePath());
  ini.WriteBool(Section, "cUseSVP", cUseSVP->isChecked());
  ini.WriteString(Section, "eSearchString", platform::toWindows1254(eSearchString->text()));
  ini.WriteString(Section, "eMaxDepth", platform::toWindows1254(eMaxDepth->text()));
  ini.WriteBool(Section, "rSVFirst", rSVFirst->isChecked());
  ini.WriteBool(Section, "rDFirst", rDFirst->isChecked());
}

void TfSVP::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  if (!event->spontaneous())
    platform::guarded([this] { FormShow(); })();
}

void TfSVP::closeEvent(QCloseEvent *event) {
  // The close is always allowed; a settings file that cannot be written is shown, no more.
  bool canClose = true;
  platform::guarded([this, &canClose] { FormCloseQuery(canClose); })();
  event->accept();
}

bool TfSVP::eventFilter(QObject *watched, QEvent *event) {
  if (watched == eSearchString && event->type() == QEvent::MouseButtonDblClick)
    platform::guarded([this] { eSearchStringDblClick(); })();
  return QWidget::eventFilter(watched, event);
}

// ---- Source file and processing steps

void TfSVP::BitBtn1Click() {
  oSVP.Filter = QStringLiteral("Sound Velocity File [*.*]");
  if (!oSVP.Execute())
    platform::Abort();
  // The name as the system holds it; read and checked whole before anything is replaced, so a
  // wrong pick leaves the profile in use, and the memo files saved from it, as they were.
  const std::string source = platform::localPath(oSVP.FileName);
  const bool tr = turkish();
  const auto refuse = [&](const QString &reason) {
    const QString name = QStringLiteral("\"") + oSVP.FileName + QStringLiteral("\"");
    platform::MessageDlg(tr ? name + QString::fromUtf8(" dosyası yüklenemedi: ") + reason +
                                  QString::fromUtf8(" Kullanılan profil değişmedi.")
                            : QStringLiteral("The file ") + name +
                                  QStringLiteral(" cannot be loaded: ") + reason +
                                  QStringLiteral(" The profile in use is unchanged."),
                         mtError, mbOK);
    platform::Abort();
  };
  svp::Rows rows;
  try {
    rows = platform::loadStringsFromFile(source, svp::SourceSizeLimit);
  } catch (const platform::EFileError &e) {
    refuse(QString::fromUtf8(e.what()));
  }
  if (const svp::SourceProblem problem = svp::checkSourceRows(rows);
      problem != svp::SourceProblem::None)
    refuse(svp::sourceProblemText(tr, problem));
  for (std::size_t i = 0; i < 4; ++i)
    list(i)->clear();
  Profile.withdrawColumn();
  columnChanged();
  Profile.mRawSVData = std::move(rows);
  showLists();
}

void TfSVP::bRawToSVVClick() {
  Profile.Turkish = turkish();
  struct Show {
    TfSVP *w;
    ~Show() {
      w->columnChanged();
      w->showLists();
    }
  } show{this};
  Profile.RawToSVV(platform::toWindows1254(eSearchString->text()), rSVFirst->isChecked());
}

void TfSVP::bSVVtoAveragedSVClick() {
  Profile.Turkish = turkish();
  struct Show {
    TfSVP *w;
    ~Show() {
      w->columnChanged();
      w->showLists();
    }
  } show{this};
  Profile.SVVtoAveragedSV(eMaxDepth->text());
}

void TfSVP::bAveragedSVtoSVPClick() {
  Profile.Turkish = turkish();
  struct Show {
    TfSVP *w;
    ~Show() {
      w->columnChanged();
      w->showLists();
    }
  } show{this};
  // Disabled until the column is complete: a failed or stopped step leaves none to save.
  bSaveClose->setEnabled(false);
  bSaveClose->setEnabled(Profile.AveragedSVtoSVP(eMaxDepth->text()));
}

void TfSVP::AutoDedetct1Click() {
  Profile.Turkish = turkish();
  const auto found = Profile.AutoDetect();
  if (!found)
    return;
  eSearchString->setText(platform::fromWindows1254(found->SearchString));
  (found->SVFirst ? rSVFirst : rDFirst)->setChecked(true);
}

void TfSVP::Defaults1Click() {
  eSearchString->setText(QString::fromLatin1(svp::DefaultSearchString));
  eMaxDepth->setText(QString::fromLatin1(svp::DefaultMaxDepth));
  rSVFirst->setChecked(true);
}

void TfSVP::eSearchStringDblClick() {
  eSearchString->setText(QString::fromLatin1(svp::DefaultSearchString));
}

// ---- The use switch and the depth correction

void TfSVP::cUseSVPClick() {
  columnChanged();
  const bool tr = turkish();
  if (cUseSVP->isChecked() && svp::blankRows(Profile.mSVPColumn)) {
    cUseSVP->setChecked(false); // runs this handler for the unchecked state first
    platform::ShowMessage(
        svp::languageText(tr, "SVP Column is empty. Please load or create an SVP profile first.",
                          "SVP Sütunu boş. Lütfen önce bir SVP profili yükleyin veya oluşturun."));
    platform::Abort();
  }
  TOffsets *offsets = Windows.Offsets;
  if (!offsets)
    return;
  if (cUseSVP->isChecked()) {
    offsets->SV->setEnabled(false);
    offsets->bSVP->setText(svp::languageText(tr, "SVP Profile Used", "Ses Hızı Profili Devrede"));
  } else {
    offsets->SV->setEnabled(true);
    offsets->bSVP->setText(svp::languageText(tr, "Single SV Used", "Tek Ses Hızı Değeri"));
  }
}

double TfSVP::SoundVelocityForDepth(double rawDepth, double singleSoundVelocity) {
  if (!cUseSVP->isChecked())
    return singleSoundVelocity;
  const auto column = Profile.column(); // held for this look-up, whatever a step does meanwhile
  const svp::SvLookup found = svp::lookupSoundVelocity(column.get(), rawDepth, singleSoundVelocity);
  if (!found.FromProfile && !fallbackReported_) {
    fallbackReported_ = true;
    if (Windows.FMsg) {
      Windows.FMsg->show();
      Windows.FMsg->Msg->appendPlainText(found.Problem);
    }
  }
  return found.SoundVelocity;
}

// ---- Graph editor and files

void TfSVP::bGraphClick() {
  if (Profile.mSortedAveragedSV.empty()) {
    platform::ShowMessage(QStringLiteral("No data to graph. Please process SVP data first."));
    platform::Abort();
  }
  if (!Windows.fSVPGraph)
    Windows.fSVPGraph = new TfSVPGraph(nullptr, Windows);
  TfSVPGraph *graph = Windows.fSVPGraph;
  graph->LoadAveragedRows(Profile.mSortedAveragedSV);
  if (graph->ShowModal() != mrOk)
    return;
  graph->WriteBackPoints(Profile.mSortedAveragedSV);
  Profile.mSVPColumn.clear();
  Profile.withdrawColumn();
  columnChanged();
  bSaveClose->setEnabled(false);
  showLists();
  platform::ShowMessage(QStringLiteral("Data updated. Please regenerate SVP Column."));
}

void TfSVP::SaveDatedMemos() {
  std::string failures;
  const auto &names = MemoNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    try {
      platform::saveStringsToFile(*list(i), datedMemoPath(names[i]));
    } catch (const std::exception &e) {
      failures += (failures.empty() ? "" : "\n") + std::string(e.what());
    }
  }
  if (!failures.empty())
    throw std::runtime_error(failures);
}

void TfSVP::SaveDatedMemosWhileUsed() {
  if (cUseSVP->isChecked())
    SaveDatedMemos();
}

void TfSVP::BitBtn2Click() {
  if (Windows.Main)
    Windows.Main->saveCommand(this);
  SaveDatedMemos();
  const auto &names = MemoNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    try {
      platform::saveStringsToFile(*list(i), platform::ExeDir() + names[i]);
    } catch (...) {
      // The copies beside the program are a convenience; the dated ones are written.
    }
  }
  close();
}
