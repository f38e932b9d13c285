// The one seam through which every message box and file dialog passes: Qt's real dialogs in the
// programs, a scripted responder in tests that records each message and answers from a queue.
#pragma once

#include <QString>
#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

// The class library's message types, buttons and modal results (the results equal the Windows
// IDOK, IDCANCEL ... values).
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn {
  mbYes,
  mbNo,
  mbOK,
  mbCancel,
  mbAbort,
  mbRetry,
  mbIgnore,
  mbAll,
  mbNoToAll,
  mbYesToAll,
  mbHelp,
  mbClose
};

// A set of buttons, written as in the class library: mbOK, mbYes | mbNo, mbOKCancel.
class TMsgDlgButtons {
public:
  constexpr TMsgDlgButtons() = default;
  constexpr TMsgDlgButtons(TMsgDlgBtn button) : bits_(1u << button) {}
  constexpr bool contains(TMsgDlgBtn button) const { return (bits_ >> button) & 1u; }
  constexpr bool empty() const { return bits_ == 0; }
  constexpr TMsgDlgButtons operator|(TMsgDlgButtons other) const {
    return fromBits(bits_ | other.bits_);
  }
  constexpr bool operator==(const TMsgDlgButtons &) const = default;
  // The buttons in the order the class library lays them out.
  std::vector<TMsgDlgBtn> list() const;

private:
  static constexpr TMsgDlgButtons fromBits(unsigned bits) {
    TMsgDlgButtons b;
    b.bits_ = bits;
    return b;
  }
  unsigned bits_ = 0;
};

constexpr TMsgDlgButtons operator|(TMsgDlgBtn a, TMsgDlgBtn b) {
  return TMsgDlgButtons(a) | TMsgDlgButtons(b);
}

inline constexpr TMsgDlgButtons mbYesNo = mbYes | mbNo;
inline constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
inline constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;
inline constexpr TMsgDlgButtons mbAbortRetryIgnore = mbAbort | mbRetry | mbIgnore;
inline constexpr TMsgDlgButtons mbAbortIgnore = mbAbort | mbIgnore;
inline constexpr TMsgDlgButtons mbYesAllNoAllCancel =
    mbYes | mbYesToAll | mbNo | mbNoToAll | mbCancel;

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrClose = 8;
constexpr TModalResult mrHelp = 9;
constexpr TModalResult mrAll = 12;
constexpr TModalResult mrNoToAll = 13;
constexpr TModalResult mrYesToAll = 14;

namespace platform {

struct MessageRequest {
  QString text;
  QString caption;
  TMsgDlgType type = mtCustom;
  TMsgDlgButtons buttons = mbOK;
};

enum class FileDialogKind { Open, Save };

struct FileDialogRequest {
  FileDialogKind kind = FileDialogKind::Open;
  QString title;
  QString filter;   // as the class library writes it: "DXF [*.dxf]|*.dxf|All Files [*.*]|*.*"
  QString fileName; // proposed: the name chosen last time
  QString initialDir;
  QString defaultExt;
  bool fileMustExist = false;
  bool overwritePrompt = false;
};

// Answers dialogs for the user.
class DialogResponder {
public:
  virtual ~DialogResponder() = default;
  // Returns the modal result of the button chosen.
  virtual TModalResult showMessage(const MessageRequest &request) = 0;
  // Returns the chosen path, or nothing when the dialog was cancelled.
  virtual std::optional<QString> showFileDialog(const FileDialogRequest &request) = 0;
};

// The responder in use: Qt's dialogs unless another was installed.
DialogResponder &dialogResponder();
// Installs a responder (nullptr restores Qt's dialogs); returns the one it replaces.
DialogResponder *setDialogResponder(DialogResponder *responder);

// The class library's message box: caption by type ("Warning", "Error", "Information",
// "Confirm", the application's title for mtCustom); returns the modal result.
TModalResult MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                        int helpContext = 0);
// A plain box with one OK button under the application's title.
void ShowMessage(const QString &text);
// A box with any caption, for the few that name their own.
TModalResult messageBox(const QString &text, const QString &caption, TMsgDlgType type,
                        TMsgDlgButtons buttons);
QString messageCaption(TMsgDlgType type);

// "Desc [*.a]|*.a;*.b|All Files [*.*]|*.*" -> "Desc [*.a] (*.a *.b);;All Files [*.*] (*)".
// "*.*" becomes "*" (Qt would ask for a dot); a description without patterns gets "*".
QString qtFileFilter(const QString &vclFilter);

// An open or save dialog object that, like the class library's, keeps its settings and the file
// name of its last use, which it proposes the next time.
class FileDialog {
public:
  explicit FileDialog(FileDialogKind kind) : kind_(kind) {}
  QString Title;
  QString Filter;
  QString FileName;
  QString InitialDir;
  QString DefaultExt;
  bool FileMustExist = false;   // open: the path and the file must exist
  bool OverwritePrompt = false; // save: ask before replacing a file
  // Shows the dialog; true and FileName set when the user chose a file.
  bool Execute();
  FileDialogKind kind() const { return kind_; }

private:
  FileDialogKind kind_;
};

// Test responder: records every message and file dialog and answers them from queues, in order.
// A dialog with no queued answer, or an answer that is not one of the box's buttons, is reported
// to `onFailure` with the message's text (and answered by the box's escape button or a cancel).
// Answers still queued at destruction are reported too. Installs itself while it lives.
class ScriptedDialogs : public DialogResponder {
public:
  using FailureHandler = std::function<void(const QString &)>;
  explicit ScriptedDialogs(FailureHandler onFailure);
  ~ScriptedDialogs() override;
  ScriptedDialogs(const ScriptedDialogs &) = delete;
  ScriptedDialogs &operator=(const ScriptedDialogs &) = delete;

  // Queues the answer to the next message box.
  void answer(TModalResult result);
  // Queues the answer to the next file dialog: a path, or a cancel.
  void chooseFile(const QString &path);
  void cancelFile();

  const std::vector<MessageRequest> &messages() const { return messages_; }
  const std::vector<FileDialogRequest> &fileDialogs() const { return fileDialogs_; }
  std::size_t pendingAnswers() const { return answers_.size() + files_.size(); }

  TModalResult showMessage(const MessageRequest &request) override;
  std::optional<QString> showFileDialog(const FileDialogRequest &request) override;

private:
  FailureHandler onFailure_;
  DialogResponder *previous_;
  std::deque<TModalResult> answers_;
  std::deque<std::optional<QString>> files_;
  std::vector<MessageRequest> messages_;
  std::vector<FileDialogRequest> fileDialogs_;
};

// Qt's own message box and file dialog, modal over the active window; the default responder
// uses them whenever there is a screen to show them on.
TModalResult showQtMessageBox(const MessageRequest &request);
std::optional<QString> showQtFileDialog(const FileDialogRequest &request);

// The modal result that a button gives, and the answer a box gets when the user escapes it.
TModalResult modalResultOf(TMsgDlgBtn button);
TModalResult escapeResult(TMsgDlgButtons buttons);
// The button that Enter presses: OK, else Yes, else Retry; none when the box has none of them.
std::optional<TMsgDlgBtn> defaultButton(TMsgDlgButtons buttons);

} // namespace platform
