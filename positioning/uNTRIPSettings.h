// The NTRIP settings window: the correction service's caster, account and mount point, and the
// client that streams corrections to the receiver.
#pragma once

#include <QWidget>

class TfrmNTRIPSettings : public QWidget {
public:
  explicit TfrmNTRIPSettings(QWidget *owner);
};
