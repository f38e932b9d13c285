#include "platform/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QWidget>
#include <cstdio>
#include <map>

std::vector<TMsgDlgBtn> TMsgDlgButtons::list() const {
  std::vector<TMsgDlgBtn> buttons;
  for (int b = mbYes; b <= mbClose; ++b)
    if (contains(static_cast<TMsgDlgBtn>(b)))
      buttons.push_back(static_cast<TMsgDlgBtn>(b));
  return buttons;
}

namespace platform {

TModalResult modalResultOf(TMsgDlgBtn button) {
  switch (button) {
  case mbYes:
    return mrYes;
  case mbNo:
    return mrNo;
  case mbOK:
    return mrOk;
  case mbCancel:
    return mrCancel;
  case mbAbort:
    return mrAbort;
  case mbRetry:
    return mrRetry;
  case mbIgnore:
    return mrIgnore;
  case mbAll:
    return mrAll;
  case mbNoToAll:
    return mrNoToAll;
  case mbYesToAll:
    return mrYesToAll;
  case mbHelp:
    return mrHelp;
  case mbClose:
    return mrClose;
  }
  return mrNone;
}

std::optional<TMsgDlgBtn> defaultButton(TMsgDlgButtons buttons) {
  for (TMsgDlgBtn b : {mbOK, mbYes, mbRetry})
    if (buttons.contains(b))
      return b;
  return std::nullopt;
}

TModalResult escapeResult(TMsgDlgButtons buttons) {
  if (buttons.contains(mbCancel))
    return mrCancel;
  if (buttons.contains(mbNo))
    return mrNo;
  if (buttons.contains(mbOK) || buttons.empty()) // an empty set shows OK
    return mrOk;
  return mrCancel; // no button escapes: the box is closed, as with its close button
}

QString messageCaption(TMsgDlgType type) {
  switch (type) {
  case mtWarning:
    return QStringLiteral("Warning");
  case mtError:
    return QStringLiteral("Error");
  case mtInformation:
    return QStringLiteral("Information");
  case mtConfirmation:
    return QStringLiteral("Confirm");
  case mtCustom:
    break;
  }
  return QGuiApplication::applicationDisplayName();
}

QString qtFileFilter(const QString &vclFilter) {
  if (vclFilter.isEmpty())
    return QString();
  const QStringList parts = vclFilter.split(QLatin1Char('|'));
  QStringList entries;
  for (qsizetype i = 0; i < parts.size(); i += 2) {
    const QString description = parts[i].trimmed();
    if (description.isEmpty() && (i + 1 >= parts.size() || parts[i + 1].trimmed().isEmpty()))
      continue; // a trailing bar
    QStringList patterns;
    if (i + 1 < parts.size())
      for (const QString &raw : parts[i + 1].split(QLatin1Char(';'))) {
        const QString pattern = raw.trimmed();
        if (pattern.isEmpty())
          continue;
        patterns << (pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
      }
    if (patterns.isEmpty())
      patterns << QStringLiteral("*");
    patterns.removeDuplicates();
    const QString list = patterns.join(QLatin1Char(' '));
    entries << (description.isEmpty() ? list : description + QStringLiteral(" (") + list + ')');
  }
  return entries.join(QStringLiteral(";;"));
}

namespace {

QMessageBox::Icon iconOf(TMsgDlgType type) {
  switch (type) {
  case mtWarning:
    return QMessageBox::Warning;
  case mtError:
    return QMessageBox::Critical;
  case mtInformation:
    return QMessageBox::Information;
  case mtConfirmation:
    return QMessageBox::Question;
  case mtCustom:
    break;
  }
  return QMessageBox::NoIcon;
}

QAbstractButton *addButton(QMessageBox &box, TMsgDlgBtn button) {
  switch (button) {
  case mbYes:
    return box.addButton(QMessageBox::Yes);
  case mbNo:
    return box.addButton(QMessageBox::No);
  case mbOK:
    return box.addButton(QMessageBox::Ok);
  case mbCancel:
    return box.addButton(QMessageBox::Cancel);
  case mbAbort:
    return box.addButton(QMessageBox::Abort);
  case mbRetry:
    return box.addButton(QMessageBox::Retry);
  case mbIgnore:
    return box.addButton(QMessageBox::Ignore);
  case mbAll:
    return box.addButton(QStringLiteral("&All"), QMessageBox::AcceptRole);
  case mbNoToAll:
    return box.addButton(QMessageBox::NoToAll);
  case mbYesToAll:
    return box.addButton(QMessageBox::YesToAll);
  case mbHelp:
    return box.addButton(QMessageBox::Help);
  case mbClose:
    return box.addButton(QMessageBox::Close);
  }
  return box.addButton(QMessageBox::Ok);
}

// On a platform without a screen nobody could answer a modal dialog and the program would hang,
// so there the default responder writes the message to the error output and escapes it.
bool canShow() {
  return qobject_cast<QApplication *>(QCoreApplication::instance()) &&
         QGuiApplication::platformName() != QLatin1String("offscreen") &&
         QGuiApplication::platformName() != QLatin1String("minimal");
}

class QtDialogs : public DialogResponder {
public:
  TModalResult showMessage(const MessageRequest &request) override {
    if (canShow())
      return showQtMessageBox(request);
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(request.caption), qUtf8Printable(request.text));
    return escapeResult(request.buttons);
  }

  std::optional<QString> showFileDialog(const FileDialogRequest &request) override {
    if (canShow())
      return showQtFileDialog(request);
    std::fprintf(stderr, "%s: file dialog cancelled, no screen\n", qUtf8Printable(request.title));
    return std::nullopt;
  }
};

QtDialogs &qtDialogs() {
  static QtDialogs dialogs;
  return dialogs;
}

DialogResponder *current = nullptr;

QString describe(const MessageRequest &request) {
  return QStringLiteral("message box \"%1\": %2").arg(request.caption, request.text);
}

QString resultName(TModalResult result) {
  static const char *const names[] = {"mrNone",   "mrOk",  "mrCancel", "mrAbort", "mrRetry",
                                      "mrIgnore", "mrYes", "mrNo",     "mrClose", "mrHelp"};
  if (result >= 0 && result < static_cast<int>(std::size(names)))
    return QString::fromLatin1(names[result]);
  return QString::number(result);
}

} // namespace

DialogResponder &dialogResponder() { return current ? *current : qtDialogs(); }

DialogResponder *setDialogResponder(DialogResponder *responder) {
  DialogResponder *previous = current;
  current = responder;
  return previous;
}

TModalResult messageBox(const QString &text, const QString &caption, TMsgDlgType type,
                        TMsgDlgButtons buttons) {
  return dialogResponder().showMessage(MessageRequest{text, caption, type, buttons});
}

TModalResult MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons, int) {
  return messageBox(text, messageCaption(type), type, buttons);
}

void ShowMessage(const QString &text) {
  messageBox(text, QGuiApplication::applicationDisplayName(), mtCustom, mbOK);
}

TModalResult showQtMessageBox(const MessageRequest &request) {
  QMessageBox box(iconOf(request.type), request.caption, request.text, QMessageBox::NoButton,
                  QApplication::activeWindow());
  std::map<QAbstractButton *, TModalResult> results;
  QAbstractButton *escape = nullptr;
  const TModalResult escapeWith = escapeResult(request.buttons);
  const std::vector<TMsgDlgBtn> buttons =
      request.buttons.empty() ? std::vector<TMsgDlgBtn>{mbOK} : request.buttons.list();
  const std::optional<TMsgDlgBtn> enter = defaultButton(request.buttons);
  for (TMsgDlgBtn b : buttons) {
    QAbstractButton *button = addButton(box, b);
    results[button] = modalResultOf(b);
    if (modalResultOf(b) == escapeWith)
      escape = button;
    if (enter == b)
      if (auto *push = qobject_cast<QPushButton *>(button))
        box.setDefaultButton(push);
  }
  if (escape)
    box.setEscapeButton(escape);
  box.exec();
  const auto found = results.find(box.clickedButton());
  return found == results.end() ? escapeWith : found->second;
}

std::optional<QString> showQtFileDialog(const FileDialogRequest &request) {
  QFileDialog dialog(QApplication::activeWindow(), request.title, request.initialDir,
                     qtFileFilter(request.filter));
  if (request.kind == FileDialogKind::Save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  }
  QString suffix = request.defaultExt;
  if (suffix.startsWith(QLatin1String("*.")))
    suffix.remove(0, 2);
  else if (suffix.startsWith(QLatin1Char('.')))
    suffix.remove(0, 1);
  if (!suffix.isEmpty() && !suffix.contains(QLatin1Char('*')) && !suffix.contains(QLatin1Char(';')))
    dialog.setDefaultSuffix(suffix);
  if (!request.fileName.isEmpty())
    dialog.selectFile(request.fileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

bool FileDialog::Execute() {
  FileDialogRequest request;
  request.kind = kind_;
  request.title = Title;
  request.filter = Filter;
  request.fileName = FileName;
  request.initialDir = InitialDir;
  request.defaultExt = DefaultExt;
  request.fileMustExist = FileMustExist;
  request.overwritePrompt = OverwritePrompt;
  const std::optional<QString> chosen = dialogResponder().showFileDialog(request);
  if (!chosen)
    return false;
  FileName = *chosen;
  return true;
}

ScriptedDialogs::ScriptedDialogs(FailureHandler onFailure)
    : onFailure_(std::move(onFailure)), previous_(setDialogResponder(this)) {}

ScriptedDialogs::~ScriptedDialogs() {
  setDialogResponder(previous_);
  for (TModalResult result : answers_)
    onFailure_(QStringLiteral("queued answer %1 was never asked for").arg(resultName(result)));
  for (const std::optional<QString> &file : files_)
    onFailure_(QStringLiteral("queued file dialog answer \"%1\" was never asked for")
                   .arg(file ? *file : QStringLiteral("cancel")));
}

void ScriptedDialogs::answer(TModalResult result) { answers_.push_back(result); }

void ScriptedDialogs::chooseFile(const QString &path) { files_.push_back(path); }

void ScriptedDialogs::cancelFile() { files_.push_back(std::nullopt); }

TModalResult ScriptedDialogs::showMessage(const MessageRequest &request) {
  messages_.push_back(request);
  if (answers_.empty()) {
    onFailure_(QStringLiteral("unexpected ") + describe(request));
    return escapeResult(request.buttons);
  }
  const TModalResult result = answers_.front();
  answers_.pop_front();
  bool offered = false;
  for (TMsgDlgBtn b : request.buttons.list())
    offered = offered || modalResultOf(b) == result;
  if (!offered) {
    onFailure_(QStringLiteral("answer %1 is not a button of the ").arg(resultName(result)) +
               describe(request));
    return escapeResult(request.buttons);
  }
  return result;
}

std::optional<QString> ScriptedDialogs::showFileDialog(const FileDialogRequest &request) {
  fileDialogs_.push_back(request);
  if (files_.empty()) {
    onFailure_(QStringLiteral("unexpected file dialog \"%1\"").arg(request.title));
    return std::nullopt;
  }
  // An empty entry is a cancelled dialog. (Taking the entry as a whole optional trips a false
  // "maybe uninitialized" warning of g++ 12 in optimised builds.)
  const bool cancelled = !files_.front().has_value();
  const QString chosen = cancelled ? QString() : *files_.front();
  files_.pop_front();
  if (cancelled)
    return std::nullopt;
  return chosen;
}

} // namespace platform
