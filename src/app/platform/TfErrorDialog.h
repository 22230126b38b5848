#pragma once

#include <QDialog>
#include <QFont>

#include "host/Dialogs.h"

namespace qv::app {

// The error dialog ("...: Error in File..."), shaped by the engine's layout of the
// flag word: icon, two read-only lines, the message with word wrap and the buttons
// at their positions, scaled with the screen.
class TfErrorDialog : public QDialog {
    Q_OBJECT
  public:
    TfErrorDialog(const ErrorLayout& layout, const QFont& errorFont, QWidget* parent = nullptr);
    // The button's result after exec(), or 2 when the window was closed otherwise.
    int result() const { return result_; }

  protected:
    void reject() override;

  private:
    int result_ = 2;
};

}  // namespace qv::app
