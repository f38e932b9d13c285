#include "navigator/soundvelocity/SvpGraphWindow.h"

#include "platform/Abort.h"
#include "platform/Convert.h"
#include "platform/GdiCanvas.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>
#include <cstdlib>

namespace {

// The paint box: hands its paint, mouse and wheel events to the window's handlers.
class SvpPaintBox : public QWidget {
public:
  explicit SvpPaintBox(TfSVPGraph &form, QWidget *parent) : QWidget(parent), form_(form) {
    setObjectName(QStringLiteral("PaintBox1"));
    setMouseTracking(true);
  }

protected:
  void paintEvent(QPaintEvent *) override {
    platform::guarded([this] {
      platform::GdiCanvas canvas(*this);
      form_.PaintBox1Paint(canvas);
    })();
  }
  void mousePressEvent(QMouseEvent *e) override {
    const QPoint p = e->position().toPoint();
    platform::guarded([&] { form_.PaintBox1MouseDown(buttonOf(e), p.x(), p.y()); })();
  }
  void mouseDoubleClickEvent(QMouseEvent *e) override {
    // A double click stands for the second press: the double click, then the press.
    if (e->button() == Qt::LeftButton)
      platform::guarded([&] { form_.PaintBox1DblClick(); })();
    mousePressEvent(e);
  }
  void mouseMoveEvent(QMouseEvent *e) override {
    const QPoint p = e->position().toPoint();
    platform::guarded([&] { form_.PaintBox1MouseMove(p.x(), p.y()); })();
  }
  void mouseReleaseEvent(QMouseEvent *e) override {
    const QPoint p = e->position().toPoint();
    platform::guarded([&] { form_.PaintBox1MouseUp(buttonOf(e), p.x(), p.y()); })();
  }
  void wheelEvent(QWheelEvent *e) override {
    const QPoint p = e->position().toPoint();
    const int delta = e->angleDelta().y();
    platform::guarded([&] { form_.FormMouseWheel(delta, p.x(), p.y()); })();
    e->accept();
  }

private:
  static int buttonOf(const QMouseEvent *e) {
    switch (e->button()) {
    case Qt::LeftButton:
      return 1;
    case Qt::RightButton:
      return 2;
    case Qt::MiddleButton:
      return 4;
    default:
      return 0;
    }
  }
  TfSVPGraph &form_;
};

QString fixedText(double value, int decimals) {
  return QString::fromStdString(platform::FloatToStrF(value, platform::ffFixed, 15, decimals));
}

// More lines than pixels say nothing; a span typed into the grid (a velocity of 1e300) must not
// keep the painter counting for ever.
constexpr double MaxGridLines = 5000;

} // namespace

TfSVPGraph::TfSVPGraph(QWidget *owner, NavigatorWindows &windows)
    : QDialog(owner), Windows(windows) {
  setObjectName(QStringLiteral("fSVPGraph"));
  setWindowTitle(QStringLiteral("SVP Profile Graph - Drag Points or Lasso Select"));
  setModal(true);

  auto *column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  auto *splitter = new QSplitter(Qt::Horizontal, this);
  splitter->setHandleWidth(5);
  splitter->setChildrenCollapsible(false);
  PaintBox1 = new SvpPaintBox(*this, splitter);
  splitter->addWidget(PaintBox1);

  auto *right = new QWidget(splitter);
  right->setObjectName(QStringLiteral("Panel1"));
  right->setFixedWidth(195);
  auto *rightColumn = new QVBoxLayout(right);
  rightColumn->setContentsMargins(0, 0, 0, 0);
  rightColumn->setSpacing(0);
  StringGrid1 = new QTableWidget(0, 3, right);
  StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
  StringGrid1->horizontalHeader()->setDefaultSectionSize(60);
  StringGrid1->verticalHeader()->setVisible(false);
  StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
  StringGrid1->setEditTriggers(QAbstractItemView::DoubleClicked |
                               QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
  rightColumn->addWidget(StringGrid1, 1);
  bAddRow = new QPushButton(QStringLiteral("Add Row"), right);
  bAddRow->setObjectName(QStringLiteral("bAddRow"));
  bAddRow->setFixedHeight(40);
  rightColumn->addWidget(bAddRow);
  bDeleteRow = new QPushButton(QStringLiteral("Delete Row"), right);
  bDeleteRow->setObjectName(QStringLiteral("bDeleteRow"));
  bDeleteRow->setFixedHeight(40);
  rightColumn->addWidget(bDeleteRow);
  splitter->addWidget(right);
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 0);
  column->addWidget(splitter, 1);

  auto *bottom = new QWidget(this);
  bottom->setObjectName(QStringLiteral("Panel2"));
  bottom->setFixedHeight(50);
  auto *row = new QHBoxLayout(bottom);
  Label1 =
      new QLabel(QStringLiteral("Drag points to edit SV, or draw lasso to select spikes"), bottom);
  Label1->setObjectName(QStringLiteral("Label1"));
  row->addWidget(Label1, 1);
  bDeleteSelected = new QPushButton(QStringLiteral("Delete Selected (0)"), bottom);
  bDeleteSelected->setObjectName(QStringLiteral("bDeleteSelected"));
  bDeleteSelected->setEnabled(false);
  row->addWidget(bDeleteSelected);
  bSaveAndClose = new QPushButton(QStringLiteral("Save && Close"), bottom);
  bSaveAndClose->setObjectName(QStringLiteral("bSaveAndClose"));
  bSaveAndClose->setAutoDefault(false);
  row->addWidget(bSaveAndClose);
  bCancel = new QPushButton(QStringLiteral("Cancel"), bottom);
  bCancel->setObjectName(QStringLiteral("bCancel"));
  bCancel->setAutoDefault(false);
  row->addWidget(bCancel);
  column->addWidget(bottom);

  // FormCreate: the grid's headings.
  StringGrid1->setHorizontalHeaderLabels(
      {QStringLiteral("Depth (m)"), QStringLiteral("SV (m/s)"), QStringLiteral("Hits")});

  connect(bDeleteSelected, &QPushButton::clicked,
          platform::guarded(this, &TfSVPGraph::bDeleteSelectedClick));
  connect(bSaveAndClose, &QPushButton::clicked,
          platform::guarded(this, &TfSVPGraph::bSaveAndCloseClick));
  connect(bCancel, &QPushButton::clicked, platform::guarded(this, &TfSVPGraph::bCancelClick));
  connect(bAddRow, &QPushButton::clicked, platform::guarded(this, &TfSVPGraph::bAddRowClick));
  connect(bDeleteRow, &QPushButton::clicked, platform::guarded(this, &TfSVPGraph::bDeleteRowClick));
  connect(StringGrid1, &QTableWidget::cellClicked,
          platform::guarded([this] { StringGrid1Click(); }));
  connect(StringGrid1, &QTableWidget::currentCellChanged,
          platform::guarded([this] { StringGrid1Click(); }));

  // The client area is 900 x 550; the paint box takes what the panel and splitter leave.
  resize(900, 550);
  splitter->setSizes({900 - 5 - 195, 195});
  updateViewSize();
}

void TfSVPGraph::updateViewSize() {
  View.W = PaintBox1->width();
  View.H = PaintBox1->height();
}

void TfSVPGraph::repaint() { PaintBox1->update(); }

void TfSVPGraph::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (const QScreen *screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  updateViewSize();
}

void TfSVPGraph::LoadAveragedRows(const std::vector<std::string> &rows) {
  Points = svpgraph::LoadAveragedRows(rows);
  FitView();
  FillGrid();
  repaint();
}

TModalResult TfSVPGraph::ShowModal() { return exec() == QDialog::Accepted ? mrOk : mrCancel; }

void TfSVPGraph::WriteBackPoints(std::vector<std::string> &rows) const {
  rows = svpgraph::WriteBackPoints(Points);
}

void TfSVPGraph::FitView() { View.FitView(Points); }

void TfSVPGraph::FillGrid() {
  const auto rows = svpgraph::FillGrid(Points);
  const QSignalBlocker block(StringGrid1);
  StringGrid1->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r)
    for (int c = 0; c < 3; ++c)
      StringGrid1->setItem(r, c, new QTableWidgetItem(rows[static_cast<std::size_t>(r)][c]));
}

void TfSVPGraph::ReadGrid() {
  std::vector<svpgraph::GridRow> rows;
  for (int r = 0; r < StringGrid1->rowCount(); ++r) {
    svpgraph::GridRow row;
    for (int c = 0; c < 3; ++c)
      if (const QTableWidgetItem *item = StringGrid1->item(r, c))
        row[static_cast<std::size_t>(c)] = item->text();
    rows.push_back(row);
  }
  Points = svpgraph::ReadGrid(rows);
  FitView();
}

void TfSVPGraph::PaintBox1Paint(platform::GdiCanvas &canvas) {
  updateViewSize();
  canvas.Brush.Color = clWhite;
  canvas.Brush.Style = bsSolid;
  canvas.FillRect(0, 0, View.W, View.H);
  DrawGridAndAxes(canvas);
  DrawProfile(canvas);
  DrawLasso(canvas);
}

void TfSVPGraph::DrawGridAndAxes(platform::GdiCanvas &canvas) const {
  const svpgraph::SvpView &v = View;
  const int W = v.W, H = v.H;
  canvas.Pen = {RGB(192, 192, 192), 1, psDot};
  canvas.Brush = {clWhite, bsSolid};
  canvas.Font.Bold = false;

  // Lines are counted, not stepped: far from zero a step of 10 can vanish in the rounding.
  const double svFirst = std::floor(v.SvMin / 10) * 10;
  const double svLines = std::floor((v.SvMax - svFirst) / 10);
  if (svLines <= MaxGridLines) {
    for (int i = 0; i <= static_cast<int>(svLines); ++i) {
      const double sv = svFirst + 10.0 * i;
      const int x = v.SvToX(sv);
      if (x < v.MarginLeft || x > W - v.MarginRight)
        continue;
      canvas.MoveTo(x, v.MarginTop);
      canvas.LineTo(x, H - v.MarginBottom);
      canvas.TextOut(x - 15, H - v.MarginBottom + 5, fixedText(sv, 0));
    }
  }

  const double span = v.DepthMax - v.DepthMin;
  const double step = span > 500 ? 100 : span > 200 ? 50 : 10;
  const double depthFirst = std::floor(v.DepthMin / step) * step;
  const double depthLines = std::floor((v.DepthMax - depthFirst) / step);
  if (depthLines <= MaxGridLines) {
    for (int i = 0; i <= static_cast<int>(depthLines); ++i) {
      const double d = depthFirst + step * i;
      const int y = v.DepthToY(d);
      if (y < v.MarginTop || y > H - v.MarginBottom)
        continue;
      canvas.MoveTo(v.MarginLeft, y);
      canvas.LineTo(W - v.MarginRight, y);
      canvas.TextOut(5, y - 6, fixedText(d, 0) + QStringLiteral("m"));
    }
  }

  canvas.Pen = {clBlack, 1, psSolid};
  canvas.MoveTo(v.MarginLeft, v.MarginTop);
  canvas.LineTo(v.MarginLeft, H - v.MarginBottom);
  canvas.LineTo(W - v.MarginRight, H - v.MarginBottom);
  canvas.Font.Bold = true;
  canvas.TextOut(W / 2 - 30, H - 18, QStringLiteral("SV (m/s)"));
  canvas.Font.Bold = false;
}

void TfSVPGraph::DrawProfile(platform::GdiCanvas &canvas) const {
  if (Points.empty())
    return;
  canvas.Pen = {RGB(0, 0, 255), 1, psSolid};
  canvas.MoveTo(View.SvToX(Points[0].Velocity), View.DepthToY(Points[0].Depth));
  for (std::size_t i = 1; i < Points.size(); ++i)
    canvas.LineTo(View.SvToX(Points[i].Velocity), View.DepthToY(Points[i].Depth));
  for (std::size_t i = 0; i < Points.size(); ++i) {
    const TSVPPoint &p = Points[i];
    TColor fill = RGB(0, 0, 255), outline = RGB(0, 0, 128);
    if (p.Selected) {
      fill = RGB(255, 0, 0);
      outline = RGB(128, 0, 0);
    } else if (static_cast<int>(i) == DragIndex) {
      fill = RGB(0, 255, 0);
      outline = RGB(0, 128, 0);
    }
    canvas.Pen = {outline, 1, psSolid};
    canvas.Brush = {fill, bsSolid};
    const int x = View.SvToX(p.Velocity), y = View.DepthToY(p.Depth);
    canvas.Ellipse(x - 4, y - 4, x + 5, y + 5);
  }
}

void TfSVPGraph::DrawLasso(platform::GdiCanvas &canvas) const {
  if (LassoPath.size() < 2)
    return;
  canvas.Pen = {RGB(255, 0, 0), 1, psDash};
  canvas.Brush = {clWhite, bsClear};
  canvas.MoveTo(LassoPath[0].first, LassoPath[0].second);
  for (std::size_t i = 1; i < LassoPath.size(); ++i)
    canvas.LineTo(LassoPath[i].first, LassoPath[i].second);
  if (LassoActive)
    canvas.LineTo(LassoPath[0].first, LassoPath[0].second);
}

void TfSVPGraph::PaintBox1MouseDown(int button, int x, int y) {
  if (button != 1)
    return;
  updateViewSize();
  const int i = svpgraph::HitTestPoint(Points, View, x, y);
  if (i >= 0) {
    Dragging = true;
    DragIndex = i;
    PaintBox1->setCursor(Qt::SizeAllCursor);
  } else {
    LassoPath = {{x, y}};
    LassoActive = true;
  }
}

void TfSVPGraph::PaintBox1MouseMove(int x, int y) {
  updateViewSize();
  if (Dragging && DragIndex >= 0 && DragIndex < static_cast<int>(Points.size())) {
    const double v = View.XToSv(x);
    if (v >= 1300 && v <= 1700) {
      Points[static_cast<std::size_t>(DragIndex)].Velocity = v;
      FillGrid();
      repaint();
    }
  } else if (LassoActive && !LassoPath.empty()) {
    const auto [lx, ly] = LassoPath.back();
    if (std::abs(x - lx) > 3 || std::abs(y - ly) > 3) {
      LassoPath.emplace_back(x, y);
      repaint();
    }
  } else {
    PaintBox1->setCursor(svpgraph::HitTestPoint(Points, View, x, y) >= 0 ? Qt::PointingHandCursor
                                                                         : Qt::ArrowCursor);
  }
  Label1->setText(QStringLiteral("SV: ") + fixedText(View.XToSv(x), 1) +
                  QStringLiteral(" m/s  Depth: ") + fixedText(View.YToDepth(y), 1) +
                  QStringLiteral(" m  (Drag point to edit SV)"));
}

void TfSVPGraph::PaintBox1MouseUp(int button, int, int) {
  if (button != 1)
    return;
  if (Dragging) {
    Dragging = false;
    DragIndex = -1;
    PaintBox1->setCursor(Qt::ArrowCursor);
    FitView();
    repaint();
  } else if (LassoActive) {
    LassoActive = false;
    if (LassoPath.size() > 2) {
      updateViewSize();
      const int n = svpgraph::SelectInLasso(Points, View, LassoPath);
      bDeleteSelected->setText(QStringLiteral("Delete Selected (%1)").arg(n));
      bDeleteSelected->setEnabled(n > 0);
    }
    repaint();
  }
}

void TfSVPGraph::PaintBox1DblClick() {
  FitView();
  repaint();
}

void TfSVPGraph::FormMouseWheel(int delta, int x, int y) {
  updateViewSize();
  View.Wheel(x, y, delta);
  repaint();
}

void TfSVPGraph::bDeleteSelectedClick() {
  svpgraph::Points kept;
  for (const TSVPPoint &p : Points)
    if (!p.Selected)
      kept.push_back(p);
  Points = std::move(kept);
  LassoPath.clear();
  bDeleteSelected->setText(QStringLiteral("Delete Selected (0)"));
  bDeleteSelected->setEnabled(false);
  FillGrid();
  FitView();
  repaint();
}

void TfSVPGraph::bSaveAndCloseClick() {
  ReadGrid();
  done(QDialog::Accepted);
}

void TfSVPGraph::bCancelClick() { done(QDialog::Rejected); }

void TfSVPGraph::StringGrid1Click() {
  const int r = StringGrid1->currentRow() + 1; // the header is row 0
  if (r < 1 || r > static_cast<int>(Points.size()))
    return;
  for (std::size_t i = 0; i < Points.size(); ++i)
    Points[i].Selected = static_cast<int>(i) == r - 1;
  repaint();
}

void TfSVPGraph::bAddRowClick() {
  const svpgraph::GridRow cells = svpgraph::AddRowCells(Points);
  const int r = StringGrid1->rowCount();
  {
    const QSignalBlocker block(StringGrid1);
    StringGrid1->insertRow(r);
    for (int c = 0; c < 3; ++c)
      StringGrid1->setItem(r, c, new QTableWidgetItem(cells[static_cast<std::size_t>(c)]));
  }
  ReadGrid();
  repaint();
}

void TfSVPGraph::bDeleteRowClick() {
  const int r = StringGrid1->currentRow();
  // The last data row stays: a grid keeps one row under its header.
  if (r < 0 || r >= StringGrid1->rowCount() || StringGrid1->rowCount() <= 1)
    return;
  {
    const QSignalBlocker block(StringGrid1);
    StringGrid1->removeRow(r);
  }
  ReadGrid();
  repaint();
}
