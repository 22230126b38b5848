#pragma once

#include <QDialog>
#include <string>

class QLineEdit;
class QSpinBox;

namespace qv::app {

// The custom header dialog: an example path, the "Prefix" and the "Directory Level
// Skip", and what the example "Changes To:" with them.
class TfCustomHeader : public QDialog {
    Q_OBJECT
  public:
    explicit TfCustomHeader(QWidget* parent = nullptr);

    // Presets the fields; the example is the current image, else the last load
    // folder followed by "IMAGENAME.D64".
    void prepare(const std::string& example, const std::string& prefix, int skip);
    std::string prefix() const;
    int skip() const;
    // The "Changes To:" text.
    std::string result() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void refresh();

    QLineEdit* example_;
    QLineEdit* prefix_;
    QSpinBox* skip_;
    QLineEdit* changesTo_;
};

// The example path of the custom header dialog.
std::string customHeaderExample(const std::string& currentImage, const std::string& lastLoad);

}  // namespace qv::app
