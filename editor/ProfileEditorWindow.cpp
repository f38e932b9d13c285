// The profile editor window: its controls, their wiring, and the profile image.
#include "editor/ProfileEditorWindow.h"

#include "editor/EditorWindows.h"
#include "editor/PlanViewWindow.h"
#include "editor/SettingsWindow.h"
#include "platform/Abort.h"
#include "platform/GdiCanvas.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

int shiftState(Qt::KeyboardModifiers m) {
  return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
         (m & Qt::AltModifier ? 4 : 0);
}

// The class library's mouse buttons: 0 left, 1 right, 2 middle.
int buttonOf(Qt::MouseButton b) {
  switch (b) {
  case Qt::RightButton:
    return 1;
  case Qt::MiddleButton:
    return 2;
  default:
    return 0;
  }
}

} // namespace

// ---- TProfileImage

TProfileImage::TProfileImage(QWidget *parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setContextMenuPolicy(Qt::PreventContextMenu);
}

QImage &TProfileImage::bitmap() {
  const QSize need = size().expandedTo(QSize(1, 1));
  if (bitmap_.width() < need.width() || bitmap_.height() < need.height()) {
    QImage grown(need.expandedTo(bitmap_.size()), QImage::Format_RGB32);
    grown.fill(Qt::white);
    if (!bitmap_.isNull()) {
      QPainter p(&grown);
      p.drawImage(0, 0, bitmap_);
    }
    bitmap_ = std::move(grown);
  }
  return bitmap_;
}

void TProfileImage::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  if (!bitmap_.isNull())
    p.drawImage(0, 0, bitmap_);
}

void TProfileImage::mousePressEvent(QMouseEvent *event) {
  const QPoint pos = event->position().toPoint();
  // The press is always seen at a position the move handler already knows.
  if (pos != lastMove_ && OnMouseMove) {
    lastMove_ = pos;
    OnMouseMove(shiftState(event->modifiers()), pos.x(), pos.y());
  }
  if (event->button() == Qt::LeftButton)
    leftPressedInside_ = true;
  if (OnMouseDown)
    OnMouseDown(buttonOf(event->button()), shiftState(event->modifiers()), pos.x(), pos.y());
}

void TProfileImage::mouseDoubleClickEvent(QMouseEvent *event) {
  // The second press of a double click is a press, but its release is no click.
  const QPoint pos = event->position().toPoint();
  if (OnMouseDown)
    OnMouseDown(buttonOf(event->button()), shiftState(event->modifiers()), pos.x(), pos.y());
}

void TProfileImage::mouseMoveEvent(QMouseEvent *event) {
  const QPoint pos = event->position().toPoint();
  lastMove_ = pos;
  if (OnMouseMove)
    OnMouseMove(shiftState(event->modifiers()), pos.x(), pos.y());
}

void TProfileImage::mouseReleaseEvent(QMouseEvent *event) {
  const QPoint pos = event->position().toPoint();
  const int button = buttonOf(event->button());
  // The class library raises the click before the release, for the left button only.
  if (event->button() == Qt::LeftButton && leftPressedInside_ && rect().contains(pos) && OnClick)
    OnClick();
  if (event->button() == Qt::LeftButton)
    leftPressedInside_ = false;
  if (OnMouseUp)
    OnMouseUp(button, shiftState(event->modifiers()), pos.x(), pos.y());
  if (event->button() == Qt::RightButton && PopupMenu)
    PopupMenu->exec(event->globalPosition().toPoint());
}

void TProfileImage::resizeEvent(QResizeEvent *) {
  if (OnResize)
    OnResize();
}

// ---- TfEditing

template <class... A> auto TfEditing::handler(void (TfEditing::*fn)(A...)) {
  return platform::guarded([this, fn](A... args) {
    invalidateProfile();
    (this->*fn)(args...);
  });
}

TfEditing::TfEditing(QWidget *owner, EditorWindows &windows) : QWidget(owner), windows_(windows) {
  setObjectName(QStringLiteral("fEditing"));
  setWindowTitle(QStringLiteral("VUDE Divovo"));
  setFocusPolicy(Qt::StrongFocus);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  buildToolBar();
  layout->addWidget(ToolBar1);
  iMain = new TProfileImage(this);
  iMain->setObjectName(QStringLiteral("iMain"));
  iMain->setMinimumSize(50, 50);
  layout->addWidget(iMain, 1);
  scrollHor = new QScrollBar(Qt::Horizontal, this);
  scrollHor->setObjectName(QStringLiteral("scrollHor"));
  scrollHor->setRange(0, 100);
  layout->addWidget(scrollHor);
  buildPopupMenu();
  displayMainLoop = new QTimer(this);
  displayMainLoop->setObjectName(QStringLiteral("displayMainLoop"));
  displayMainLoop->setInterval(5000);
  connectHandlers();
}

TfEditing::~TfEditing() = default;

void TfEditing::buildToolBar() {
  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  ToolBar1->setIconSize(QSize(16, 16));
  QStyle *st = style();
  auto make = [&](QToolButton *&b, const char *name, const QString &caption, const QString &hint,
                  QStyle::StandardPixmap icon, bool checkable = false) {
    b = new QToolButton(ToolBar1);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(caption);
    b->setToolTip(hint);
    b->setIcon(st->standardIcon(icon));
    b->setCheckable(checkable);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    ToolBar1->addWidget(b);
  };
  make(bFileOpen, "bFileOpen", "Open", "Open", QStyle::SP_DialogOpenButton);
  make(bSaveEdits, "bSaveEdits", "Save", "Quick save", QStyle::SP_DialogSaveButton);
  make(toolUndo, "toolUndo", "Undo", "Undo", QStyle::SP_ArrowBack);
  make(toolGrowVertical, "toolGrowVertical", "Zoom In V.", "Grow vertically",
       QStyle::SP_TitleBarUnshadeButton);
  make(toolSqueezeVertical, "toolSqueezeVertical", "Zoom out V.", "Squeeze vertically",
       QStyle::SP_TitleBarShadeButton);
  make(toolPushUp, "toolPushUp", "Push Up", "Push up", QStyle::SP_ArrowUp);
  make(toolPushDown, "toolPushDown", "Push Down", "Push down", QStyle::SP_ArrowDown);
  make(toolGrowHorizontal, "toolGrowHorizontal", "Grow Horizontal", "Grow horizontally",
       QStyle::SP_ArrowRight);
  make(toolSqueezeHorizontal, "toolSqueezeHorizontal", "Zoom out H.", "Squeeze horizontally",
       QStyle::SP_ArrowLeft);
  make(toolToggleFTS, "toolToggleFTS", "Fit to Screen", "Toggle fit to screen",
       QStyle::SP_TitleBarMaxButton, true);
  make(toolZoomToSelection, "toolZoomToSelection", "Zoom To Selection", "Zoom to selection",
       QStyle::SP_FileDialogContentsView);
  make(toolShowDeleted, "toolShowDeleted", "Show deleted", "Show deleted points",
       QStyle::SP_DialogDiscardButton, true);
  make(toolShowStatus, "toolShowStatus", "toolShowStatus", "Show data status",
       QStyle::SP_MessageBoxInformation, true);
  make(toolFindMeFromPlanV, "toolFindMeFromPlanV", "toolFindMeFromPlanV", QString(),
       QStyle::SP_FileDialogStart);
  make(ToolButton1, "ToolButton1", "ToolButton1", QString(), QStyle::SP_FileDialogDetailedView);
  make(ToolButton3, "ToolButton3", "ToolButton3", QString(), QStyle::SP_TitleBarNormalButton);
  // These three captions are placeholders: the buttons show their pictures only.
  for (QToolButton *b : {toolShowStatus, ToolButton1, ToolButton3})
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
  ToolButton1->setToolTip(QStringLiteral("Settings"));
  ToolButton3->setToolTip(QStringLiteral("Arrange windows"));
  for (QAction *a : ToolBar1->actions())
    if (ToolBar1->widgetForAction(a) == toolFindMeFromPlanV)
      a->setVisible(false);
  for (QToolButton *b : {toolUndo, toolGrowVertical, toolSqueezeVertical, toolPushUp, toolPushDown,
                         toolGrowHorizontal, toolSqueezeHorizontal, toolZoomToSelection,
                         toolToggleFTS, toolShowDeleted, toolShowStatus})
    b->setEnabled(false);
}

void TfEditing::buildPopupMenu() {
  popupMenu = new QMenu(this);
  popupMenu->setObjectName(QStringLiteral("popupMenu"));
  auto item = [&](QAction *&a, const char *name, const QString &caption) {
    a = popupMenu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
  };
  item(ZoomtoSelection1, "ZoomtoSelection1", "Zoom to Selection");
  item(QuickFittoScreen1, "QuickFittoScreen1", "Fit to Screen");
  item(Zoomtofit1, "Zoomtofit1", "Squeeze to Screen");
  popupMenu->addSeparator()->setObjectName(QStringLiteral("N2"));
  item(InterpolatePoint1, "InterpolatePoint1", "Interpolate Point");
  item(Smoothpoint1, "Smoothpoint1", "Smooth point");
  popupMenu->addSeparator()->setObjectName(QStringLiteral("N3"));
  item(SmoothSelection1, "SmoothSelection1", "Smooth Selection");
  item(SmoothAll1, "SmoothAll1", "Smooth All...");
  popupMenu->addSeparator()->setObjectName(QStringLiteral("N1"));
  item(DeletePoint2, "DeletePoint2", "Delete Point");
  item(DeleteSelection1, "DeleteSelection1", "Delete Selection");
  item(RestoreSelection1, "RestoreSelection1", "Restore Selection");
  popupMenu->addSeparator()->setObjectName(QStringLiteral("N5"));
  item(PlanView1, "PlanView1", "Find Me");
}

void TfEditing::connectHandlers() {
  auto click = [this](QToolButton *b, void (TfEditing::*fn)()) {
    connect(b, &QToolButton::clicked, this, handler(fn));
  };
  click(bFileOpen, &TfEditing::bFileOpenClick);
  click(bSaveEdits, &TfEditing::bSaveEditsClick);
  click(toolUndo, &TfEditing::toolUndoClick);
  click(toolGrowVertical, &TfEditing::toolGrowVerticalClick);
  click(toolSqueezeVertical, &TfEditing::toolSqueezeVerticalClick);
  click(toolPushUp, &TfEditing::toolPushUpClick);
  click(toolPushDown, &TfEditing::toolPushDownClick);
  click(toolGrowHorizontal, &TfEditing::toolGrowHorizontalClick);
  click(toolSqueezeHorizontal, &TfEditing::toolSqueezeHorizontalClick);
  click(toolZoomToSelection, &TfEditing::toolZoomToSelectionClick);
  click(toolFindMeFromPlanV, &TfEditing::toolFindMeFromPlanVClick);
  click(ToolButton1, &TfEditing::ToolButton1Click);
  click(ToolButton3, &TfEditing::ToolButton3Click);
  for (QToolButton *b : {toolToggleFTS, toolShowDeleted, toolShowStatus})
    connect(b, &QToolButton::toggled, this, [this] { invalidateProfile(); });

  auto menu = [this](QAction *a, void (TfEditing::*fn)()) {
    connect(a, &QAction::triggered, this, handler(fn));
  };
  menu(ZoomtoSelection1, &TfEditing::ZoomtoSelection1Click);
  menu(QuickFittoScreen1, &TfEditing::QuickFittoScreen1Click);
  menu(Zoomtofit1, &TfEditing::Zoomtofit1Click);
  menu(InterpolatePoint1, &TfEditing::InterpolatePoint1Click);
  menu(Smoothpoint1, &TfEditing::Smoothpoint1Click);
  menu(SmoothSelection1, &TfEditing::SmoothSelection1Click);
  menu(SmoothAll1, &TfEditing::SmoothAll1Click);
  menu(DeletePoint2, &TfEditing::DeletePoint2Click);
  menu(DeleteSelection1, &TfEditing::DeleteSelection1Click);
  menu(RestoreSelection1, &TfEditing::RestoreSelection1Click);
  menu(PlanView1, &TfEditing::PlanView1Click);

  connect(displayMainLoop, &QTimer::timeout, this,
          platform::guarded(this, &TfEditing::displayMainLoopTimer));
  connect(scrollHor, &QScrollBar::valueChanged, this, handler(&TfEditing::scrollHorChange));
  // A move changes only what follows the mouse, unless a band or a line follows it too.
  iMain->OnMouseMove = platform::guarded([this](int shift, int x, int y) {
    invalidateCursor();
    if (graph.selecting || graph.draggingTop || graph.draggingBottom)
      invalidateProfile();
    iMainMouseMove(shift, x, y);
  });
  iMain->OnMouseDown = handler(&TfEditing::iMainMouseDown);
  iMain->OnMouseUp = handler(&TfEditing::iMainMouseUp);
  iMain->OnClick = handler(&TfEditing::iMainClick);
  iMain->OnResize = [this] { invalidateProfile(); };
}

int TfEditing::imageWidth() const { return iMain->width(); }
int TfEditing::imageHeight() const { return iMain->height(); }

void TfEditing::pointsChanged() {
  ++pointsRevision_;
  changedSinceDrawn_.markAll();
  invalidateProfile();
  if (windows_.fPlanView)
    windows_.fPlanView->soundingsChanged();
}

void TfEditing::pointsChanged(std::size_t from, std::size_t to) {
  ++pointsRevision_;
  changedSinceDrawn_.widen(from, to);
  invalidateProfile();
  if (windows_.fPlanView)
    windows_.fPlanView->soundingsChanged(from, to);
}

bool TfEditing::redrawIfChanged() {
  if (!profileDirty_ && !cursorDirty_)
    return false;
  const bool cursorOnly = !profileDirty_;
  profileDirty_ = cursorDirty_ = false;
  if (processedRevision_ != pointsRevision_) {
    processedCache_ = clGraph::processedPercent(points);
    processedRevision_ = pointsRevision_;
  }
  QImage &bitmap = iMain->bitmap();
  const ProfileRedraw::Inputs inputs{
      imageWidth(),
      imageHeight(),
      width(),
      height(),
      points,
      cursor,
      toolShowDeleted->isChecked(),
      toolShowStatus->isChecked(),
      windows_.fSettings ? windows_.fSettings->sLineThickness->value() : 1,
      processedCache_,
      pointsRevision_,
      toolToggleFTS->isChecked(),
      changedSinceDrawn_};
  lastRedrawKeptPoints_ = redraw_.run(graph, bitmap, inputs, cursorOnly);
  if (!lastRedrawKeptPoints_) {
    // The points as they are now are drawn and summed up: later changes are counted afresh.
    changedSinceDrawn_.clear();
  }
  iMain->update();
  return true;
}

void TfEditing::displayMainLoopTimer() { redrawIfChanged(); }

void TfEditing::keyPressEvent(QKeyEvent *event) {
  static const int modifiers[] = {Qt::Key_Control, Qt::Key_Shift, Qt::Key_Alt,
                                  Qt::Key_Meta,    Qt::Key_AltGr, Qt::Key_CapsLock};
  for (int k : modifiers)
    if (event->key() == k) {
      QWidget::keyPressEvent(event);
      return;
    }
  handler (&TfEditing::FormKeyPress)();
}

void TfEditing::wheelEvent(QWheelEvent *event) {
  event->accept();
  wheelRemainder_ += event->angleDelta().y();
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  // One call per notch, as the class library raises them.
  while (wheelRemainder_ >= 120) {
    wheelRemainder_ -= 120;
    handler (&TfEditing::FormMouseWheelUp)(ctrl);
  }
  while (wheelRemainder_ <= -120) {
    wheelRemainder_ += 120;
    handler (&TfEditing::FormMouseWheelDown)(ctrl);
  }
}

void TfEditing::closeEvent(QCloseEvent *event) {
  bool canClose = true;
  try {
    FormCloseQuery(canClose);
  } catch (...) {
    platform::handleCurrentException();
    canClose = false;
  }
  if (!canClose)
    event->ignore();
  else
    QWidget::closeEvent(event);
}
