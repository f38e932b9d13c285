// TFNav: the values the road of a sounding stands on, fed from the windows that hold them, once
// now and again whenever they change. The line handlers then read no window.
#include "navigator/mainwindow/MainWindow.h"

#include "navigator/acquisition/SurveyDay.h"
#include "navigator/settings/NavigationSettingsWindow.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/soundvelocity/SoundVelocityWindow.h"
#include "navigator/windows/OffsetsWindow.h"
#include "platform/CodePage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QToolButton>

namespace {

// Tells the road whether the offsets window is shown: its values reach the GPS lines only while
// it is hidden.
class ShownWatcher : public QObject {
public:
  ShownWatcher(QWidget *window, std::function<void(bool)> shown)
      : QObject(window), shown_(std::move(shown)) {
    window->installEventFilter(this);
  }
  bool eventFilter(QObject *, QEvent *event) override {
    if (event->type() == QEvent::Show)
      shown_(true);
    else if (event->type() == QEvent::Hide)
      shown_(false);
    return false;
  }

private:
  std::function<void(bool)> shown_;
};

} // namespace

void TFNav::WireRoad() {
  survey::SoundingRoad &road = Road;
  const TSurveyDay &day = SurveyDay();
  road.CoordinatesPath = day.CoordinatesPath;
  road.XyzPath = day.XyzFolder + day.SessionDate + " Simple XYZ.csv";
  // The coordinates and simple XYZ files stand in the start-up day's LOG and XYZ folders.
  road.MakeFolders = [] { MakeSurveyDayFolders(); };

  connect(Realtime, &QToolButton::toggled, this, [&road](bool on) { road.setAlarmArmed(on); });
  road.setAlarmArmed(Realtime->isChecked());

  if (TFGPS *gps = Windows.FGPS) {
    auto type = [&road, gps] {
      road.setMessageType(platform::toAnsi(gps->Model.Values.cSBESMessage),
                          gps->Model.scanFormat());
    };
    connect(gps->cSBESMessage, &QComboBox::currentTextChanged, this, type);
    connect(gps->eSBESFormat, &QLineEdit::editingFinished, this, type);
    type();
    road.GeodesyOutsideSession = [gps] { return &gps->Model.Values; };
  }

  if (TOffsets *offsets = Windows.Offsets) {
    using O = survey::SoundingRoad::Offset;
    for (auto [edit, which] :
         {std::pair{offsets->OffsetA, O::Draft}, std::pair{offsets->SV, O::SoundVelocity},
          std::pair{offsets->OffsetC, O::OffsetC}, std::pair{offsets->TideHt, O::Tide}}) {
      const O offset = which;
      connect(edit, &QLineEdit::textChanged, this,
              [&road, offset](const QString &text) { road.setOffsetText(offset, text); });
      road.setOffsetText(offset, edit->text());
    }
    new ShownWatcher(offsets, [&road](bool shown) { road.setOffsetsShown(shown); });
    road.setOffsetsShown(offsets->isVisible());
  }

  if (TNavset *nav = Windows.Navset) {
    connect(nav->edDepthAlert1, &QLineEdit::textChanged, this,
            [&road](const QString &text) { road.setDepthAlertText(text); });
    road.setDepthAlertText(nav->edDepthAlert1->text());
    auto colour = [&road, nav] { road.setBackgroundColour(TNavset::colourOf(nav->fcadColor)); };
    connect(nav->fcadColor, &QComboBox::currentIndexChanged, this, colour);
    colour();
  }

  if (TfSVP *profile = Windows.fSVP) {
    connect(profile->cUseSVP, &QCheckBox::toggled, this,
            [&road](bool on) { road.setProfileInUse(on); });
    road.setProfileInUse(profile->cUseSVP->isChecked());
    road.ProfileColumn = [profile] { return profile->Profile.column(); };
  }
}
