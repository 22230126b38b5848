#pragma once

#include <QDialog>

class QLineEdit;
class QCheckBox;

namespace qv::app {

// The modeless find dialog: search text (at most 80 characters), "Match case",
// "Whole word only", "Find Next". It only asks; the owner searches.
class FindDialog : public QDialog {
    Q_OBJECT
  public:
    explicit FindDialog(QWidget* parent = nullptr);
    QString text() const;
    void setText(const QString& text);
    bool matchCase() const;
    bool wholeWord() const;
    void setMatchCase(bool on);
    void setWholeWord(bool on);

  signals:
    void findNext();

  private:
    QLineEdit* text_;
    QCheckBox* matchCase_;
    QCheckBox* wholeWord_;
};

}  // namespace qv::app
