#include "editor/EditorWindows.h"

#include "editor/FrameWindow.h"
#include "editor/PlanViewWindow.h"
#include "editor/ProfileEditorWindow.h"
#include "editor/SettingsWindow.h"
#include "editor/SmoothingClusterWindow.h"
#include "editor/WaitWindow.h"
#include "platform/About.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/WindowSize.h"

#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QScreen>
#include <algorithm>

namespace {

QWidget *frameOf(QWidget *form) {
  if (auto *frame = qobject_cast<QMdiSubWindow *>(form->parentWidget()))
    return frame;
  return form;
}

QSize screenSize() {
  if (QScreen *s = QGuiApplication::primaryScreen())
    return s->size();
  return QSize(1024, 768);
}

} // namespace

void createEditorWindows(EditorWindows &w) {
  w.fParent = new TfParent(nullptr, w);
  w.fWait = new TfWait(w.fParent);
  w.fEditing = new TfEditing(nullptr, w);
  const QSize screen = screenSize();
  w.fParent->addChild(w.fEditing)->resize(screen.width() * 3 / 4, screen.height() / 2);
  w.fWarning = new TfWarning(w.fParent);
  w.fPlanView = new TfPlanView(nullptr, w);
  w.fParent->addChild(w.fPlanView)->resize(screen.width() / 2, screen.height() / 2);
  w.fSettings = new TfSettings(w.fParent, w);
  w.formAbout = new TformAbout(w.fParent, TformAbout::Layout::Editor);
}

void loadFormGeometry(QWidget *form, bool withSize) {
  const platform::IniFile ini(platform::SettingsFilePath());
  const std::string section = form->objectName().toStdString();
  QWidget *frame = frameOf(form);
  int left = ini.ReadInteger(section, "Left", 0);
  int top = ini.ReadInteger(section, "Top", 0);
  int width = frame->width(), height = frame->height();
  if (withSize) {
    width = ini.ReadInteger(section, "Width", width);
    height = ini.ReadInteger(section, "Height", height);
  }
  const QSize screen = screenSize();
  const QSize most = platform::largestWindowSize();
  width = std::min(width, most.width());
  height = std::min(height, most.height());
  if (left < 0 || left >= screen.width())
    left = 0;
  if (top < 0 || top >= screen.height())
    top = 0;
  frame->setGeometry(left, top, width, height);
}

void saveFormGeometry(QWidget *form) {
  platform::IniFile ini(platform::SettingsFilePath());
  const std::string section = form->objectName().toStdString();
  const QRect g = frameOf(form)->geometry();
  ini.WriteString(section, "Left", std::to_string(g.x()));
  ini.WriteString(section, "Top", std::to_string(g.y()));
  ini.WriteString(section, "Width", std::to_string(g.width()));
  ini.WriteString(section, "Height", std::to_string(g.height()));
}
