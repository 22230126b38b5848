#pragma once

#include <QDialog>

namespace qv::app {

// The about box: program name, version, build date, and the system it runs on.
class TfAbout : public QDialog {
    Q_OBJECT
  public:
    explicit TfAbout(QWidget* parent = nullptr);

    // Shows the box modally once during start-up; it closes itself at once (it does so
    // whenever it is shown before the start-up has finished).
    void showOnceAtStartUp();
    void setStartUpFinished() { startUpFinished_ = true; }
    // How often the box was shown and closed itself during start-up.
    int startUpShows() const { return startUpShows_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    bool startUpFinished_ = false;
    int startUpShows_ = 0;
};

// "Version: 0.1.0" and "Build: 2026-12-10" of this program.
QString versionLine();
QString buildLine();

}  // namespace qv::app
