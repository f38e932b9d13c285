// What the Open command says about the file it read: a file that is no sounding file ends the
// command, and the lines it could not read are counted once rather than dropped unseen.
#include "editor/ProfileEditorWindow.h"
#include "platform/Abort.h"
#include "platform/Dialogs.h"

void TfEditing::refuseUnreadFile(const SoundingReadSummary &read) {
  const QString message = refusalMessage(openDialog.FileName, read);
  if (message.isEmpty())
    return;
  // Ends like a file with too few soundings: the list empty, the redraw stopped.
  platform::MessageDlg(message, mtError, mbOK);
  platform::Abort();
}

void TfEditing::reportSkippedLines(const SoundingReadSummary &read) {
  const QString message = skippedLinesMessage(read);
  if (!message.isEmpty())
    platform::MessageDlg(message, mtWarning, mbOK);
}
