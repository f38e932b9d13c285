// TFNav: the drawing-file commands of the File and Help menus.
#include "canvas/TarvikCanvas.h"
#include "navigator/acquisition/SurveyDay.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/mainwindow/UnsavedOnExit.h"
#include "navigator/shared/MessageWindow.h"
#include "navigator/soundvelocity/SoundVelocityWindow.h"
#include "platform/Abort.h"
#include "platform/About.h"
#include "platform/CodePage.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QPlainTextEdit>

namespace {

const QString drawingFilter = QStringLiteral("Tarvik Pelmora [*.zrv]|*.zrv|All Files [*.*]|*.*");
const QString dxfFilter = QStringLiteral("AutoCAD R12 DXF [*.dxf]|*.dxf|All Files [*.*]|*.*");

// A dialog's file name, as the system's bytes: it is never converted on its way to open().
std::string chosenPath(const platform::FileDialog &dialog) {
  return platform::localPath(dialog.FileName);
}

// The event log and the settings file hold Windows-1254 text, paths included.
std::string logged(const std::string &path) { return platform::pathToAnsi(path); }

} // namespace

void TFNav::CreateDrawingFileCommands() {
  OpenDialog1.Title = QStringLiteral("Dialog Open");
  OpenDialog1.DefaultExt = QStringLiteral("*.dwg;*.dxf");
  OpenDialog1.FileMustExist = true;
  SaveDialog1.Title = QStringLiteral("Dialog Save");
  SaveDialog1.DefaultExt = QStringLiteral("*.dwg");
  SaveDialog1.OverwritePrompt = true;

  // Ctrl+O, Ctrl+I and Ctrl+W are shown by later menus too; bound here, on the first items
  // that show them, they reach Open, Import and Save As.
  const auto item = [this](QMenu *menu, const char *name, const char *caption,
                           const QKeySequence &keys, void (TFNav::*handler)(QObject *)) {
    QAction *action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(keys);
    connect(action, &QAction::triggered, this,
            platform::guarded([this, handler, action] { (this->*handler)(action); }));
    return action;
  };
  New1 = item(File1, "New1", "New", QKeySequence(Qt::CTRL | Qt::Key_N), &TFNav::New1Click);
  File1->addSeparator();
  Open1 = item(File1, "Open1", "Open...", QKeySequence(Qt::CTRL | Qt::Key_O), &TFNav::Open1Click);
  Save1 = item(File1, "Save1", "Save", QKeySequence(Qt::CTRL | Qt::Key_S), &TFNav::Save1Click);
  SaveAs1 = item(File1, "SaveAs1", "Save As...", QKeySequence(Qt::CTRL | Qt::Key_W),
                 &TFNav::SaveAs1Click);
  File1->addSeparator();
  Import1 =
      item(File1, "Import1", "Import...", QKeySequence(Qt::CTRL | Qt::Key_I), &TFNav::Import1Click);
  Export1 =
      item(File1, "Export1", "Export...", QKeySequence(Qt::CTRL | Qt::Key_X), &TFNav::Export1Click);
  File1->addSeparator();
  Exit1 = item(File1, "Exit1", "Exit", QKeySequence(Qt::CTRL | Qt::Key_Q), &TFNav::Exit1Click);
  About1 = item(Help1, "About1", "About...", QKeySequence(), &TFNav::About1Click);
}

void TFNav::reportDrawingFailure(const QString &text) {
  navigator::showInMessageWindow(Windows, text);
  platform::MessageDlg(text, mtError, mbOK);
}

void TFNav::New1Click(QObject *) {
  if (platform::MessageDlg(QStringLiteral("Entire layout will be cleared! Continue?"), mtWarning,
                           mbYesNo) != mrYes)
    platform::Abort();
  fcad->CadClearShapes(-1);
  fcad->ClearDepthLabels();
  fcad->ClearEventLabels();
  AppendAutoEvent("New layout - cleared all shapes", EventLogPath());
  EnsureNavigationLayers(fcad);
  fcad->SetLayerAction(State.UserShapeLayer, 15);
}

void TFNav::Open1Click(QObject *) {
  OpenDialog1.Filter = drawingFilter;
  if (!OpenDialog1.Execute())
    platform::Abort();
  const std::string path = chosenPath(OpenDialog1);
  const int userShapeLayer = State.UserShapeLayer;
  const bool read = fcad->CadLoad(platform::pathText(path), -1, -1, 2);
  AppendAutoEvent("Opened file: " + logged(path), EventLogPath());
  if (!read)
    reportDrawingFailure(QStringLiteral("The drawing ") + platform::pathText(path) +
                         QStringLiteral(" could not be read; the layout is unchanged."));
  // The previous run's vessel and grid come back with a reopened drawing: they are drawn anew.
  State.VesselLayer = fcad->LayerFindByName(QStringLiteral("~~Tarvik Vessel"));
  if (State.VesselLayer >= 0)
    fcad->CadClearShapes(State.VesselLayer);
  State.GridLayer = fcad->LayerFindByName(QStringLiteral("Tarvik Grid"));
  if (State.GridLayer >= 0)
    fcad->CadClearShapes(State.GridLayer);
  fcad->SetLayerAction(userShapeLayer, 15);
  EnsureNavigationLayers(fcad);
}

QString TFNav::writeDrawing(const std::string &path) {
  // The grid and the vessel are drawn anew from the live position; they are not survey data.
  if (State.GridLayer >= 0)
    fcad->CadClearShapes(State.GridLayer);
  if (State.VesselLayer >= 0)
    fcad->CadClearShapes(State.VesselLayer);
  if (fcad->CadSave(platform::pathText(path), -1) == 1)
    return {};
  return QStringLiteral("Cannot create file \"") + platform::pathText(path) +
         QStringLiteral("\": the drawing was not saved.");
}

bool TFNav::saveDrawing(const std::string &path) {
  const QString failure = writeDrawing(path);
  if (failure.isEmpty())
    return true;
  reportDrawingFailure(failure);
  return false;
}

std::string TFNav::autoSavePath() const {
  return SurveyDay().DrawingFolder + SessionDateString() + " " + SessionTimeHHMM() + ".zrv";
}

void TFNav::Save1Click(QObject *) {
  const std::string path = autoSavePath();
  // A drawing that was not written is neither logged as saved nor reopened at the next start.
  if (!saveDrawing(path))
    return;
  AppendAutoEvent("Auto-saved: " + logged(path), EventLogPath());
  platform::IniFile(platform::SettingsFilePath())
      .WriteString("FILE", "Last File Saved       ", platform::pathToSetting(path));
  setWindowTitle(QStringLiteral("Tarvik Sondrel - ") + platform::pathText(path));
  if (Windows.fSVP)
    Windows.fSVP->SaveDatedMemosWhileUsed();
}

void TFNav::SaveForExit(UnsavedOnExit &unsaved) {
  // The Save command's work, but every part is tried and what fails is told once, with the
  // question whether to exit anyway.
  const std::string path = autoSavePath();
  const QString failure = writeDrawing(path);
  if (failure.isEmpty()) {
    AppendAutoEvent("Auto-saved: " + logged(path), EventLogPath());
    unsaved.attempt([&path] {
      platform::IniFile(platform::SettingsFilePath())
          .WriteString("FILE", "Last File Saved       ", platform::pathToSetting(path));
    });
    setWindowTitle(QStringLiteral("Tarvik Sondrel - ") + platform::pathText(path));
  } else {
    unsaved.add(failure);
  }
  if (Windows.fSVP)
    unsaved.attempt([this] { Windows.fSVP->SaveDatedMemosWhileUsed(); });
}

void TFNav::SaveAs1Click(QObject *) {
  SaveDialog1.Filter = drawingFilter;
  if (!SaveDialog1.Execute())
    return;
  const std::string path = chosenPath(SaveDialog1);
  if (!saveDrawing(path))
    return;
  setWindowTitle(QStringLiteral("Tarvik Sondrel  <") + platform::pathText(path) +
                 QStringLiteral(">"));
  AppendAutoEvent("Saved As: " + logged(path), EventLogPath());
}

void TFNav::Export1Click(QObject *) {
  SaveDialog1.Filter = dxfFilter;
  if (!SaveDialog1.Execute())
    return;
  const std::string path = chosenPath(SaveDialog1);
  if (fcad->DXFSave(platform::pathText(path)) != 1)
    reportDrawingFailure(QStringLiteral("The drawing could not be exported to ") +
                         platform::pathText(path) + QStringLiteral(". ") + fcad->DXFSaveFailure());
}

void TFNav::Import1Click(QObject *) {
  OpenDialog1.Filter = dxfFilter;
  if (OpenDialog1.Execute()) {
    const std::string path = chosenPath(OpenDialog1);
    fcad->DXFLoad(platform::pathText(path));
    AppendAutoEvent("Imported DXF: " + logged(path), EventLogPath());
  }
  EnsureNavigationLayers(fcad);
}

void TFNav::Exit1Click(QObject *) {
  // The closing saves the drawing and asks before anything unsaved is given up; a save of its
  // own here would report a failure a second time.
  close();
}

void TFNav::About1Click(QObject *) {
  if (Windows.formAbout)
    Windows.formAbout->exec();
}
