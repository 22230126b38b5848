#pragma once

#include <QDialog>
#include <array>

class QListWidget;
class QPushButton;

namespace qv {
class Session;
}  // namespace qv

namespace qv::app {

// The "Edit Startaddresses" dialog: the six lists of load addresses by which the
// detokenizer recognises a BASIC dialect (and admits a file to a chosen one), each
// with "+" and "-"; "Default" puts back the built-in lists. It works on the session's
// lists: OK stores them in [BASIC Address], Cancel reads them from there again.
class TfStartAddress : public QDialog {
    Q_OBJECT
  public:
    explicit TfStartAddress(Session& session, QWidget* parent = nullptr);

    // The list of a tokenset type 2-7.
    QListWidget* list(int type) const;
    // "+" of a type's list: asks for an address until it is valid or the user gives up.
    void addAddress(int type);
    // "-": removes the selected entries of the list.
    void removeSelected(int type);
    void restoreDefaults();

    void accept() override;
    void reject() override;

  private:
    void showList(int type);
    void showLists();

    Session& session_;
    std::array<QListWidget*, 6> lists_{};
};

}  // namespace qv::app
