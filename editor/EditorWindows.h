// The editor's windows, one pointer per window, filled by one start-up function in the
// program's creation order; the windows reach each other through it.
#pragma once

class QWidget;
class TfParent;
class TfWait;
class TfEditing;
class TfWarning;
class TfPlanView;
class TfSettings;
class TformAbout;

struct EditorWindows {
  TfParent *fParent = nullptr;
  TfWait *fWait = nullptr;
  TfEditing *fEditing = nullptr;
  TfWarning *fWarning = nullptr;
  TfPlanView *fPlanView = nullptr;
  TfSettings *fSettings = nullptr;
  TformAbout *formAbout = nullptr;
};

// Creates fParent, fWait, fEditing, fWarning, fPlanView, fSettings and formAbout, in that order.
// fParent is the main window and owns the others: deleting it deletes them all. The profile and
// plan windows are visible children of the frame from their creation.
void createEditorWindows(EditorWindows &windows);

// The placement of a form in the settings file, in the section named after the form. For a
// child window of the frame the placement is that of its frame inside the frame window.
void loadFormGeometry(QWidget *form, bool withSize);
void saveFormGeometry(QWidget *form);
