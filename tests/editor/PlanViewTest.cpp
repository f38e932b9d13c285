// The plan view's picture: the track and the height labels drawn from the editor's list (labels
// thinned to those that can be read), deleted soundings in their colour, the cross that follows
// the profile's mouse, the gap a sounding at (0, 0) leaves; and the index that finds, for a
// zoomed view, every track segment a walk over all of them would draw.
#include "EditorTestSupport.h"

#include "canvas/TarvikCanvas.h"
#include "canvas/WorldView.h"
#include "editor/PlanSoundings.h"

#include <QMouseEvent>
#include <gtest/gtest.h>

using editortest::Editor;

namespace {

constexpr QRgb black = qRgb(0, 0, 0);
constexpr QRgb red = qRgb(255, 0, 0);

// Text is smoothed: its pixels are dark, or reddish, rather than exactly the pen's colour.
bool dark(QRgb c) { return qGray(c) < 110; }
bool reddish(QRgb c) { return qRed(c) > 160 && qGreen(c) < 120 && qBlue(c) < 120; }

QImage picture(TfPlanView &plan) {
  return plan.qcanvas->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QPoint pixelOf(TTarvikCanvas *c, double x, double y) {
  const canvas::ViewMapping m(c->WorldLeft, c->WorldRight, c->WorldTop, c->WorldBottom, c->width(),
                              c->height());
  return QPoint(m.toX(x), m.toY(y));
}

template <class Test> int countOf(const QImage &image, Test test, QRect area) {
  area = area.intersected(image.rect());
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      n += test(image.pixel(x, y));
  return n;
}

int countOf(const QImage &image, QRgb colour, QRect area) {
  return countOf(
      image, [colour](QRgb c) { return c == colour; }, area);
}

// A plan canvas wide enough for the pixel distances the tests rely on.
void widePlan(Editor &ed) {
  if (auto *frame = qobject_cast<QMdiSubWindow *>(ed.w.fPlanView->parentWidget()))
    frame->resize(1240, 560);
  QApplication::processEvents();
}

void move(QWidget *w, QPoint pos) {
  QMouseEvent ev(QEvent::MouseMove, QPointF(pos), w->mapToGlobal(QPointF(pos)), Qt::NoButton,
                 Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(w, &ev);
}

// A view of `width` metres centred on (x, y), at the canvas's aspect ratio.
void zoomTo(TTarvikCanvas *c, double x, double y, double width) {
  const double height = width * c->height() / c->width();
  c->WorldSet(x - width / 2, y + height / 2, x + width / 2, y - height / 2);
  c->Refresh();
}

TEST(PlanView, ShowsTheTrackWithTheLabelsThatCanBeRead) {
  Editor ed;
  ed.open("p.txt", editortest::line(400, [](int i) { return -(i % 9) - 10; }));
  TfPlanView &plan = *ed.w.fPlanView;
  TTarvikCanvas *c = plan.qcanvas;
  // The soundings are drawn, not kept as shapes: the drawing holds none of them.
  EXPECT_EQ(c->ShapeCount, 0);
  QImage image = picture(plan);
  const QPoint first = pixelOf(c, 500000, 4400000), last = pixelOf(c, 500399, 4400000);
  ASSERT_GT(last.x() - first.x(), 300);
  // The track along its row, from the first sounding to the last.
  EXPECT_GE(countOf(image, black, QRect(first.x(), first.y(), last.x() - first.x(), 1)),
            last.x() - first.x() - 1);
  // Labels hang below their soundings; a pixel or so a sounding leaves room for some, not all.
  EXPECT_GT(countOf(image, dark, QRect(first.x(), first.y() + 2, last.x() - first.x(), 14)), 150);
  const int thinned = plan.soundings.labelsDrawn();
  EXPECT_GT(thinned, 5);
  EXPECT_LT(thinned, 40);

  // Zoomed in to twenty metres every sounding in the view has its label.
  zoomTo(c, 500200, 4400000, 20);
  image = picture(plan);
  EXPECT_GE(plan.soundings.labelsDrawn(), 21);
  for (int i = 191; i <= 209; ++i) {
    const QPoint p = pixelOf(c, 500000 + i, 4400000);
    EXPECT_GT(countOf(image, dark, QRect(p.x(), p.y() + 2, 30, 14)), 10) << i;
  }
  // The index looked only near the view.
  EXPECT_LT(plan.soundings.lastLookedAt(), 100u);
}

TEST(PlanView, DeletedSoundingsShowInTheDeletedColourUntilUndone) {
  Editor ed;
  ed.open("p.txt", editortest::line(100, [](int) { return -12; }));
  TfEditing &e = ed.e();
  TfPlanView &plan = *ed.w.fPlanView;
  TTarvikCanvas *c = plan.qcanvas;
  zoomTo(c, 500050, 4400000, 10);
  const QPoint p = pixelOf(c, 500050, 4400000);
  const QRect around(p.x() - 200, p.y() - 20, 400, 40);
  EXPECT_EQ(countOf(picture(plan), red, around), 0);
  e.graph.firstIndex = 0;
  e.graph.cursorOffset = 50;
  e.DeletePoint2Click();
  ASSERT_EQ(e.points[50].deleted, 1);
  const QImage deleted = picture(plan);
  // Its label and the track on either side of it, to its neighbours and no further.
  const QPoint p49 = pixelOf(c, 500049, 4400000), p51 = pixelOf(c, 500051, 4400000);
  const QPoint p52 = pixelOf(c, 500052, 4400000), p53 = pixelOf(c, 500053, 4400000);
  EXPECT_GT(countOf(deleted, reddish, QRect(p.x(), p.y() + 2, 40, 14)), 10);
  EXPECT_GE(countOf(deleted, red, QRect(p49.x(), p.y(), p51.x() - p49.x(), 1)),
            p51.x() - p49.x() - 2);
  EXPECT_EQ(countOf(deleted, red, QRect(p52.x(), p.y(), p53.x() - p52.x(), 1)), 0);
  EXPECT_EQ(countOf(deleted, reddish, QRect(p52.x(), p.y() + 2, 40, 14)), 0);
  e.toolUndoClick();
  EXPECT_EQ(countOf(picture(plan), red, around), 0);
}

TEST(PlanView, TheCrossFollowsTheProfileMouse) {
  Editor ed;
  ed.open("p.txt", editortest::line(100, [](int) { return -12; }));
  TfEditing &e = ed.e();
  TfPlanView &plan = *ed.w.fPlanView;
  TTarvikCanvas *c = plan.qcanvas;
  picture(plan);
  const int drawings = plan.soundings.drawings();
  // 100 soundings on 1000 pixels: column 305 is sounding 30.
  move(e.iMain, QPoint(305, 100));
  const QPoint at30 = pixelOf(c, 500030, 4400000), at60 = pixelOf(c, 500060, 4400000);
  QImage image = picture(plan);
  EXPECT_EQ(image.pixel(at30.x(), at30.y() - 4), black);
  EXPECT_NE(image.pixel(at60.x(), at60.y() - 4), black);
  move(e.iMain, QPoint(605, 100));
  image = picture(plan);
  EXPECT_NE(image.pixel(at30.x(), at30.y() - 4), black);
  EXPECT_EQ(image.pixel(at60.x(), at60.y() - 4), black);
  // The track under the old cross is whole again.
  EXPECT_EQ(image.pixel(at30.x() + 1, at30.y()), black);
  // The cross moved over the picture of the soundings; they were not drawn again.
  EXPECT_EQ(plan.soundings.drawings(), drawings);
}

TEST(PlanView, ASoundingAtTheOriginGetsNoLabelAndBreaksTheTrack) {
  Editor ed;
  widePlan(ed);
  std::string text;
  for (int i = 0; i < 10; ++i)
    text += i == 5 ? "0,0,-3\n" : std::to_string(1000 + 10 * i) + ",2000,-4\n";
  ed.open("p.txt", text);
  TfPlanView &plan = *ed.w.fPlanView;
  TTarvikCanvas *c = plan.qcanvas;
  const QImage image = picture(plan);
  // The view covers the placed soundings only.
  EXPECT_GT(c->WorldLeft, 500);
  const QPoint p4 = pixelOf(c, 1040, 2000), p6 = pixelOf(c, 1060, 2000);
  const QPoint p3 = pixelOf(c, 1030, 2000);
  EXPECT_EQ(countOf(image, black, QRect(p4.x() + 2, p4.y(), p6.x() - p4.x() - 4, 1)), 0);
  EXPECT_GT(countOf(image, black, QRect(p3.x() + 2, p3.y(), p4.x() - p3.x() - 4, 1)), 0);
  EXPECT_EQ(plan.soundings.labelsDrawn(), 9);
}

// The index against the plain rule: for zoomed views, the track drawn through the index has
// exactly the pixels of every segment drawn one by one, long jumps across the view included.
TEST(PlanSoundings, ZoomedViewsDrawEverySegmentThatCrossesThem) {
  SoundingList points;
  std::uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return double(seed >> 8) / double(1u << 24);
  };
  double x = 1000, y = 1000;
  for (int i = 0; i < 20000; ++i) {
    if (i % 997 == 500) {
      x = 1000 + next() * 4000; // a jump to another line
      y = 1000 + next() * 4000;
    } else {
      x += (next() - 0.5) * 6;
      y += (next() - 0.5) * 6;
    }
    points.push_back({x, y, -5, 0, 0, std::uint8_t(i % 37 == 0)});
  }
  points[7000].X = points[7000].Y = 0; // left out, with both of its segments
  PlanSoundings plan;
  plan.show(&points);
  PlanSoundings::Style style;
  style.labels = false;
  struct Box {
    double left, top, right, bottom;
  };
  auto around = [](const strPoint &p, double half) {
    return Box{p.X - half, p.Y + half, p.X + half, p.Y - half};
  };
  // Around soundings, the whole survey, and the middle of a jump that only its segment crosses.
  const strPoint &a = points[1496], &b = points[1497];
  const strPoint jump{(a.X + b.X) / 2, (a.Y + b.Y) / 2, 0};
  const Box views[] = {around(points[3000], 20), around(points[12000], 100),
                       Box{900, 5100, 5100, 900}, around(jump, 5), around(points[7000 - 1], 15)};
  for (const auto &v : views) {
    const PlanSoundings::View view{v.left, v.right, v.top, v.bottom, 300, 300};
    QImage drawn(300, 300, QImage::Format_RGB32), reference(300, 300, QImage::Format_RGB32);
    drawn.fill(Qt::white);
    reference.fill(Qt::white);
    {
      platform::GdiCanvas g(drawn);
      plan.draw(g, view, style);
    }
    {
      platform::GdiCanvas g(reference);
      const canvas::ViewMapping m(v.left, v.right, v.top, v.bottom, 300, 300);
      for (std::size_t j = 0; j + 1 < points.size(); ++j) {
        const strPoint &a = points[j], &b = points[j + 1];
        if ((a.X == 0 && a.Y == 0) || (b.X == 0 && b.Y == 0))
          continue;
        g.Pen.Color = a.deleted || b.deleted ? style.deleted : style.track;
        g.MoveTo(m.toX(a.X), m.toY(a.Y));
        g.LineTo(m.toX(b.X), m.toY(b.Y));
      }
    }
    int differ = 0, inked = 0;
    for (int py = 0; py < 300; ++py)
      for (int px = 0; px < 300; ++px) {
        differ += drawn.pixel(px, py) != reference.pixel(px, py);
        inked += reference.pixel(px, py) != qRgb(255, 255, 255);
      }
    EXPECT_EQ(differ, 0) << v.left << " " << v.top;
    if (v.right - v.left < 1000) {
      EXPECT_LT(plan.lastLookedAt(), points.size() / 3) << v.left;
    }
    EXPECT_GT(inked, 0) << v.left;
  }
}

} // namespace

namespace {

// After an edit the picture is drawn again only around the soundings that changed; it is the
// picture a whole drawing gives, labels included. A height whose label changes length makes
// other labels readable or not: then everything is drawn again, with the same result.
TEST(PlanSoundings, AnEditRedrawsAroundItsSoundingsAsAWholeDrawingWould) {
  SoundingList points;
  for (int i = 0; i < 3000; ++i)
    points.push_back({1000 + i * 0.7, 2000 + std::sin(i * 0.01) * 40, -10 - (i % 13) * 0.37});
  const PlanSoundings::View view{1000, 3200, 2700, 1300, 600, 380};
  const PlanSoundings::Style style;
  auto paint = [&](PlanSoundings &plan) {
    QImage image(600, 380, QImage::Format_RGB32);
    image.fill(Qt::white);
    platform::GdiCanvas g(image);
    plan.paint(g, image.rect(), view, style);
    g.end();
    return image;
  };
  PlanSoundings edited;
  edited.show(&points);
  paint(edited);
  const auto edits = {std::make_pair(1500, 0.0), std::make_pair(1501, 0.0),
                      std::make_pair(40, -10.11), std::make_pair(2999, -123.45)};
  for (const auto &[i, z] : edits) {
    strPoint &p = points[static_cast<std::size_t>(i)];
    if (z == 0.0)
      p.deleted = 1;
    else
      p.Z = z;
    edited.changed();
    const QImage after = paint(edited);
    PlanSoundings whole;
    whole.show(&points);
    EXPECT_TRUE(after == paint(whole)) << i;
  }
}

} // namespace

namespace {

// A second file opened into the same windows, with as many soundings over the same extent as
// the first, shows its own soundings at once: its plan is pixel for pixel the plan of a fresh
// editor that opened it first.
TEST(PlanView, ASecondFileShowsItsOwnSoundingsAsAFreshOpenDoes) {
  const std::string first = editortest::line(400, [](int i) { return -(i % 9) - 10; });
  auto sounding = [](int x, int z) {
    return std::to_string(500000 + x) + ".00,4400000.00," + std::to_string(z) + "\r\n";
  };
  std::string fewHeights = "Easting,Northing,Elevation\r\n"; // ten heights differ
  std::string reversed = "Easting,Northing,Elevation\r\n";   // each height by index the same
  std::string allHeights = "Easting,Northing,Elevation\r\n";
  for (int i = 0; i < 400; ++i) {
    fewHeights += sounding(i, i % 40 == 7 ? -3 : -(i % 9) - 10);
    reversed += sounding(399 - i, -(i % 9) - 10);
    allHeights += sounding(i, -(i % 5) - 20);
  }
  for (const std::string *second : {&fewHeights, &reversed, &allHeights}) {
    Editor ed;
    ed.open("first.txt", first);
    picture(*ed.w.fPlanView);
    ed.open("second.txt", *second);
    const QImage shown = picture(*ed.w.fPlanView);
    Editor fresh;
    fresh.open("second.txt", *second);
    EXPECT_TRUE(shown == picture(*fresh.w.fPlanView)) << (second - &fewHeights);
  }
}

// The labels are part of the kept picture: left out while the plan is dragged, they are drawn
// again when the drag ends, in the same view.
TEST(PlanSoundings, LabelsLeftOutForADragComeBackAfterIt) {
  SoundingList points;
  for (int i = 0; i < 300; ++i)
    points.push_back({1000 + i * 2.0, 2000 + (i % 3) * 1.0, -10 - (i % 13) * 0.37});
  const PlanSoundings::View view{990, 1610, 2100, 1900, 620, 200};
  PlanSoundings::Style dragging;
  dragging.labels = false;
  const PlanSoundings::Style still;
  auto paint = [&](PlanSoundings &plan, const PlanSoundings::Style &style) {
    QImage image(view.width, view.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    platform::GdiCanvas g(image);
    plan.paint(g, image.rect(), view, style);
    g.end();
    return image;
  };
  PlanSoundings plan;
  plan.show(&points);
  const QImage withLabels = paint(plan, still);
  ASSERT_GT(plan.labelsDrawn(), 10);
  const QImage trackOnly = paint(plan, dragging);
  EXPECT_EQ(plan.labelsDrawn(), 0);
  EXPECT_FALSE(trackOnly == withLabels);
  const QImage after = paint(plan, still);
  EXPECT_GT(plan.labelsDrawn(), 10);
  EXPECT_TRUE(after == withLabels);
  EXPECT_FALSE(paint(plan, dragging) == withLabels);
}

// Seen whole, parallel lines close together make a solid block of track: no label is put on
// it, where it could not be read; the lines seen closer, and a lone line beside the block, keep
// their labels.
TEST(PlanSoundings, NoLabelWhereTheTrackFillsItsBox) {
  SoundingList points;
  for (int line = 0; line < 100; ++line)
    for (int k = 0; k < 100; ++k)
      points.push_back({1000.0 + (line % 2 ? 99 - k : k), 1000.0 + line, -12.5});
  for (int k = 0; k < 100; ++k) // a lone line far from the block
    points.push_back({1000.0 + k, 1400.0, -7.25});
  PlanSoundings plan;
  plan.show(&points);
  auto draw = [&](const PlanSoundings::View &view) {
    QImage image(view.width, view.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    platform::GdiCanvas g(image);
    PlanSoundings::Style style;
    style.label = 0xFF0000; // blue labels, seen on the black track
    plan.draw(g, view, style);
    g.end();
    return image;
  };
  // 1 metre a pixel: the block is a black square of 100 x 100 pixels.
  const PlanSoundings::View whole{950, 1150, 1450, 950, 200, 500};
  const QImage image = draw(whole);
  const canvas::ViewMapping m(whole.left, whole.right, whole.top, whole.bottom, whole.width,
                              whole.height);
  const QRect block(m.toX(1000), m.toY(1099), 99, 99);
  int black = 0, other = 0;
  for (int y = block.top() + 8; y <= block.bottom() - 8; ++y)
    for (int x = block.left() + 20; x <= block.right() - 20; ++x)
      (image.pixel(x, y) == qRgb(0, 0, 0) ? black : other) += 1;
  EXPECT_EQ(other, 0) << "a label on the block";
  EXPECT_GT(black, 0);
  // The lone line keeps labels.
  EXPECT_GT(plan.labelsDrawn(), 0);
  const int x0 = m.toX(1000), x1 = m.toX(1099), y = m.toY(1400);
  EXPECT_GT(countOf(image, dark, QRect(x0, y + 2, x1 - x0, 14)), 20);
  // Ten metres wide, the lines stand apart: labels again.
  draw(PlanSoundings::View{1040, 1060, 1055, 1045, 400, 200});
  EXPECT_GT(plan.labelsDrawn(), 0);
}

// A label reads whole or not at all: one whose sign or leading digits stand on a block of track
// is left out even where most of its box is clear, or "-12.16" would read as "2.16" or as a
// height of the other sign. The labels are right-aligned, so a sounding just right of the block
// reaches into it with its first characters; the part of its box right of the block is where
// only its text can be.
TEST(PlanSoundings, NoLabelWithACharacterOnABlockOfTrack) {
  struct Case {
    int charactersOnBlock;
    bool drawn;
  };
  for (const Case c : {Case{0, true}, Case{1, false}, Case{2, false}, Case{3, false}}) {
    SCOPED_TRACE(c.charactersOnBlock);
    // 1 metre a pixel; the block is 60 x 60 pixels, its right column at world x 1059.
    const PlanSoundings::View view{900, 1200, 1100, 950, 300, 150};
    const canvas::ViewMapping m(view.left, view.right, view.top, view.bottom, view.width,
                                view.height);
    const int right = m.toX(1059);
    // "-12.16" takes 6 cells of 7 pixels left of its anchor.
    const int anchorX = right + 1 + 42 - 7 * c.charactersOnBlock;
    SoundingList points;
    points.push_back(
        {view.left + (anchorX + 0.5) * (view.right - view.left) / view.width, 1030.0, -12.16});
    points.push_back({0.0, 0.0, 0.0}); // no track between the probe and the block
    for (int line = 0; line < 60; ++line)
      for (int k = 0; k < 60; ++k)
        points.push_back({1000.0 + (line % 2 ? 59 - k : k), 1000.0 + line, -9.5});
    ASSERT_EQ(m.toX(points[0].X), anchorX);
    PlanSoundings plan;
    plan.show(&points);
    QImage image(view.width, view.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    platform::GdiCanvas g(image);
    PlanSoundings::Style style;
    style.label = 0xFF0000; // blue
    style.alignH = 2;
    plan.draw(g, view, style);
    g.end();
    const int ay = m.toY(1030.0);
    const QRect clear(right + 1, ay, anchorX - right - 1, 15);
    const int blue = countOf(
        image, [](QRgb p) { return qBlue(p) > 160 && qRed(p) < 120 && qGreen(p) < 120; }, clear);
    if (c.drawn)
      EXPECT_GT(blue, 10);
    else
      EXPECT_EQ(blue, 0);
  }
}

} // namespace
