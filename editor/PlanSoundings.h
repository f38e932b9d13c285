// The soundings as the plan view shows them, drawn straight from the editor's list: a grid index
// of their positions, and the picture of the track and the height labels for one view, kept
// until the view, the style or the soundings change. A label is drawn only where it can be read
// whole: one whose box comes too close to a label already drawn (in list order) is left out, and
// so is one with a character on a solid block of track.
#pragma once

#include "editor/ChangedRange.h"
#include "editor/Soundings.h"
#include "platform/Color.h"

#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
#include <vector>

namespace platform {
class GdiCanvas;
}

class PlanSoundings {
public:
  // The world window and the client size in pixels of one picture.
  struct View {
    double left = 0.0;
    double right = 0.0;
    double top = 0.0;
    double bottom = 0.0;
    int width = 0;
    int height = 0;
    bool operator==(const View &) const = default;
  };

  // How the track and the labels are drawn.
  struct Style {
    TColor track = 0;
    int trackWidth = 1;
    TColor deleted = 0x0000FF;
    TColor label = 0;
    QString fontName = QStringLiteral("Arial");
    bool bold = false;
    bool italic = false;
    int alignH = 0;
    int alignV = 0;
    bool labels = true; // false while the user drags the plan
    bool operator==(const Style &) const = default;
  };

  // Shows the list (nullptr: nothing) and indexes its positions. The list is read at every
  // drawing; call changed() after its heights or flags change and this again after its
  // positions or its length change.
  void show(const SoundingList *points);
  // Heights or flags changed: the next paint draws the picture anew.
  void changed() {
    ++revision_;
    changed_.markAll();
    runDeletedChanged_.markAll();
  }
  // Only the soundings from `from` up to (not including) `to` changed their heights or flags.
  void changed(std::size_t from, std::size_t to);

  // The bounds of the positions drawn; false when there is none.
  bool extent(double &minX, double &minY, double &maxX, double &maxY) const;

  // Puts the picture for the view into the area of the canvas, drawing it first when the view,
  // the style or the soundings changed since it was drawn.
  void paint(platform::GdiCanvas &canvas, const QRect &area, const View &view, const Style &style);
  // Draws the picture for the view onto the canvas.
  void draw(platform::GdiCanvas &canvas, const View &view, const Style &style);

  // Whole drawings made so far (a paint that only puts the kept picture back makes none).
  int drawings() const { return drawings_; }
  // Labels put down by the last drawing (thinning leaves out the rest).
  int labelsDrawn() const { return labelsDrawn_; }
  // Soundings the last drawing looked at: all of them, or those the index found near the view.
  std::size_t lastLookedAt() const { return lastLookedAt_; }

private:
  // A sounding the plan shows: one with a position other than (0, 0).
  bool placed(std::size_t i) const {
    const strPoint &p = (*points_)[i];
    return p.X != 0 || p.Y != 0;
  }
  // Draws the picture, or with `only` the part of it within that pixel rectangle, the labels
  // being those chosen by the last whole drawing (their texts and colours as they are now).
  // `track`, when given, is the image the canvas draws on, transparent but for what this drawing
  // puts there: the track is then written straight into it, and a whole drawing leaves out the
  // labels that the track under them would hide.
  void drawWithin(platform::GdiCanvas &canvas, const View &view, const Style &style,
                  const QRect *only, const QImage *track);
  // Draws the whole picture for the view into the image (made transparent first); false when
  // no image of that size can be made.
  bool drawPicture(QImage &image, const View &view, const Style &style);
  // Brings the picture up to date by drawing again only around the soundings whose flag or
  // height changed since it was drawn; false when that cannot give the whole drawing's result.
  bool redrawChanged(const View &view, const Style &style);
  int cellX(double x) const;
  int cellY(double y) const;
  // Lists, ascending, the soundings in the cells meeting the world rectangle widened by one
  // cell; false when that is so large a share of the list that walking it all costs less.
  bool near(double minX, double minY, double maxX, double maxY, std::vector<std::uint32_t> &out);

  const SoundingList *points_ = nullptr;
  std::size_t indexed_ = 0; // the list length the index was built for
  bool any_ = false;
  double minX_ = 0, minY_ = 0, maxX_ = 0, maxY_ = 0;
  double cellW_ = 1, cellH_ = 1;
  int cellsX_ = 0, cellsY_ = 0;
  std::vector<std::uint32_t> cellStart_; // cellsX_ * cellsY_ + 1 offsets into order_
  std::vector<std::uint32_t> order_;     // placed soundings by cell, ascending within a cell
  // Track segments (i, i + 1) whose ends lie more than one cell apart: looked at on their own.
  std::vector<std::uint32_t> longSegments_;
  // Runs of runLength consecutive soundings: their bounds, whether all are placed, and whether
  // one is deleted (brought up to date before a drawing reads it).
  static constexpr std::size_t runLength = 64;
  struct RunBox {
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    bool placed = true;
  };
  std::vector<RunBox> runBoxes_;
  std::vector<std::uint8_t> runDeleted_;
  ChangedRange runDeletedChanged_ = ChangedRange::whole();
  void refreshRunDeleted();
  std::vector<std::uint64_t> marks_; // scratch: one bit a sounding
  std::vector<std::uint32_t> found_; // scratch

  // The picture last drawn, transparent where nothing is, and what it was drawn for.
  QImage picture_;
  bool pictureValid_ = false;
  View pictureView_;
  Style pictureStyle_;
  std::uint64_t pictureRevision_ = 0;
  std::uint64_t revision_ = 1;
  // The soundings changed since the picture was drawn.
  ChangedRange changed_ = ChangedRange::whole();

  // What the picture shows of each sounding besides its position, and the labels it shows.
  std::uint64_t shownRevision_ = 0; // the revision shownZ_ and shownDeleted_ were taken at
  std::vector<double> shownZ_;
  std::vector<std::uint8_t> shownDeleted_;
  std::vector<std::uint32_t> shownLabels_;

  int labelsDrawn_ = 0;
  int drawings_ = 0;
  std::size_t lastLookedAt_ = 0;
};
