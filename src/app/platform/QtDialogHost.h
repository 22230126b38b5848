#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>

#include "host/Dialogs.h"

class QWidget;

namespace qv::app {

class TfFileDialog;

// A filter list "Description|pattern|..." as the toolkit's "Description (pattern);;...",
// each pattern also in lower case, since file names on this system are case-sensitive.
QString qtFilter(const std::string& filter);

// The extension of a toolkit filter's first pattern, in lower case ("bmp" for
// "Bitmap (*.BMP *.bmp)"); empty when the pattern names no single extension.
QString filterSuffix(const QString& filter);

// The dialog seam with real windows: the question dialog (one window per mode, kept
// for the program run), the error dialog, message boxes, the save dialog and the
// input box.
class QtDialogHost : public DialogHost {
  public:
    explicit QtDialogHost(QWidget* parent = nullptr);
    ~QtDialogHost() override;

    void setParent(QWidget* parent) { parent_ = parent; }
    // The font of the error dialog's lines ("ErrorDialogs:" on the "Fonts" page).
    void setErrorFont(const QFont& font) { errorFont_ = font; }

    QuestionReply showQuestion(const QuestionRequest& request) override;
    int showError(const ErrorLayout& layout) override;
    void showMessage(const std::string& text) override;
    MessageAnswer askYesNoCancel(const std::string& caption, const std::string& text) override;
    bool askYesNo(const std::string& caption, const std::string& text, MessageIcon icon) override;
    // An information box with OK and Cancel (the photo scrap's cards-repeater note).
    bool askOkCancel(const std::string& caption, const std::string& text) override;
    std::optional<std::string> askSaveFile(const SaveFileRequest& request) override;
    std::optional<std::string> askText(const std::string& caption, const std::string& prompt,
                                       const std::string& preset) override;

  private:
    QWidget* parent_;
    QFont errorFont_;
    std::array<std::unique_ptr<TfFileDialog>, 8> questions_;
};

// The file dialogs of the main window. Tests put their own in place.
class FileChooser {
  public:
    virtual ~FileChooser() = default;
    // Several existing files; empty when cancelled.
    virtual QStringList openFiles(QWidget* parent, const QString& caption, const QString& folder,
                                  const std::string& filter) = 0;
    // One existing file; empty when cancelled.
    virtual QString openFile(QWidget* parent, const QString& caption, const QString& folder,
                             const std::string& filter) = 0;
    struct SaveChoice {
        QString path;
        int filterIndex = 0;
    };
    // One existing file and the 0-based filter it was chosen with (-1: not known);
    // an empty path when cancelled.
    virtual SaveChoice openFileWithFilter(QWidget* parent, const QString& caption,
                                          const QString& folder, const std::string& filter) {
        return {openFile(parent, caption, folder, filter), -1};
    }
    // A file to write, asking before overwriting; nullopt when cancelled.
    virtual std::optional<SaveChoice> saveFile(QWidget* parent, const QString& caption,
                                               const QString& folder, const std::string& filter,
                                               const QString& defaultSuffix) = 0;
    // A folder from the platform's folder browser, starting at START (empty: no
    // folder); empty when cancelled.
    virtual QString chooseFolder(QWidget* parent, const QString& caption, const QString& start) = 0;
};

class QtFileChooser : public FileChooser {
  public:
    QStringList openFiles(QWidget* parent, const QString& caption, const QString& folder,
                          const std::string& filter) override;
    QString openFile(QWidget* parent, const QString& caption, const QString& folder,
                     const std::string& filter) override;
    SaveChoice openFileWithFilter(QWidget* parent, const QString& caption, const QString& folder,
                                  const std::string& filter) override;
    std::optional<SaveChoice> saveFile(QWidget* parent, const QString& caption,
                                       const QString& folder, const std::string& filter,
                                       const QString& defaultSuffix) override;
    QString chooseFolder(QWidget* parent, const QString& caption, const QString& start) override;
};

}  // namespace qv::app
