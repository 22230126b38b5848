#pragma once

#include <QDialog>

namespace qv::app {

// The about box: program name, version, build date, and the system it runs on.
class TfAbout : public QDialog {
    Q_OBJECT
  public:
    explicit TfAbout(QWidget* parent = nullptr);
};

// "Version: 0.1.0" and "Build: 2026-12-10" of this program.
QString versionLine();
QString buildLine();

}  // namespace qv::app
