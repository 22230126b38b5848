#pragma once

#include <QDialog>
#include <vector>

#include "host/Dialogs.h"

class QLineEdit;
class QLabel;
class QCheckBox;
class QListWidget;
class QRadioButton;

namespace qv::app {

// The question dialog: one window class for the seven modes. The engine keeps the
// "Don't ask me again during this session" memory; this window only shows a request
// and returns what the user did.
class TfFileDialog : public QDialog {
    Q_OBJECT
  public:
    explicit TfFileDialog(QuestionMode mode, QWidget* parent = nullptr);

    // Fills the window from the request (path, message, preset of its controls).
    void prepare(const QuestionRequest& request);
    // The user's answer after exec(); Escape and the close box give 2.
    QuestionReply reply() const;

    QuestionMode mode() const { return spec_->mode; }

  protected:
    void reject() override;

  private:
    const QuestionSpec* spec_;
    QLineEdit* path_ = nullptr;
    QLabel* message_ = nullptr;
    QListWidget* extensions_ = nullptr;
    std::vector<QRadioButton*> radios_;
    QCheckBox* logBox_ = nullptr;
    QCheckBox* dontAsk_ = nullptr;
    int result_ = 2;
};

}  // namespace qv::app
