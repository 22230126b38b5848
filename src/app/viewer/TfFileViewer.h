#pragma once

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/WindowSettings.h"
#include "viewer/DumpLayout.h"
#include "viewer/FileViewerState.h"

class QAction;
class QLabel;

namespace qv {
class IniFile;
class Session;
}  // namespace qv

namespace qv::app {

class FileChooser;
class RichTextView;
class TfC64Screen;

// What the file viewer asks the block map about a file it showed from there.
class BlockMapFiles {
  public:
    virtual ~BlockMapFiles() = default;
    // Shows the row's file again as a dump (List again).
    virtual bool showFile(int row) = 0;
    // The row's file with its start address, for detokenizing; nullopt after a report.
    virtual std::optional<std::vector<std::uint8_t>> fileBytes(int row) = 0;
    // Writes the row's file as a program file, with or without its start address.
    virtual bool saveProgram(int row, bool withStartAddress, const std::string& target) = 0;
    // The name a detokenized file is shown under.
    virtual std::string displayName(int row) const = 0;
};

// The "File Viewer" window: a file of the block map, a block, or an imported file, as
// a dump or a BASIC listing, with its own C64 screen. The text, the states and the
// dump layout are the engine's; the window holds the commands.
class TfFileViewer : public QMainWindow {
    Q_OBJECT
  public:
    TfFileViewer(Session& session, FileChooser& chooser, QWidget* parent = nullptr);
    ~TfFileViewer() override;

    // The first opening of the block map: the [TOK64] keys, the import folder and the
    // C64 screen's limit and column mode.
    void prepare(const IniFile& ini);
    // [WorkArounds] as read at start: whether rich-text saves get their symbol font back.
    void setWorkArounds(const WorkAroundSettings& w) { workArounds_ = w; }
    bool prepared() const { return prepared_; }
    // At exit: Width, Height, StayOnTop, WordWrap, "C64Screen 40/80", "Lastimport TOK64".
    void saveSettings(IniFile& ini) const;

    void setBlockMapFiles(BlockMapFiles* files) { files_ = files; }
    // The main window's "Upper/Lower" choice and its text limit for imports.
    void setUpperLowerSource(std::function<bool()> source) { upperLower_ = std::move(source); }
    void setMaxTextSource(std::function<std::size_t()> source) { maxText_ = std::move(source); }
    // Called when the window becomes active (the block map checks the main window's image).
    void setActivationHook(std::function<void()> hook) { activated_ = std::move(hook); }

    // The text buffer (code page 437, CR LF line ends).
    void appendLine(std::string_view line);
    std::size_t bufferLength() const { return buffer_.size(); }
    const std::string& buffer() const { return buffer_; }
    void resetBuffer() { buffer_.clear(); }
    bool showBuffer();
    // Gives the shown text the file viewer font of the options; its colours stay.
    void applyFont();

    // Starting a new content: both case modes, the screen cleared and held, the text
    // and the buffer emptied.
    void beginContent();
    // The dump rows into the text and the C64 screen (with escapes).
    void addDumpRows(const std::vector<DumpRow>& rows);
    // Shows the buffer and the window, releases the screen and sets the state.
    bool finishContent(ViewerState state);
    // A failed show: every group off, the status fields empty, state 0.
    void showFailure();
    DumpOptions dumpOptions() const;

    void setStatus(int field, const QString& text);
    QString status(int field) const;
    ViewerState state() const { return state_; }
    void setState(ViewerState state);
    int bamRow() const { return bamRow_; }
    void setBamRow(int row) { bamRow_ = row; }
    // Empties the text and forgets the block map's file (the block map changed image).
    void forgetBlockMapFile();

    // The commands.
    void importFile();
    bool importProgram(const std::string& path);
    bool importText(const std::string& path);
    void detokenize();
    void listAgain();
    void clearContent();
    void saveAs();
    void toggleC64Screen(bool on);
    void setWordWrap(bool on);
    void setStayOnTop(bool on);
    // The "Options" command: the "File Viewer Options" dialog; after its OK the new
    // options hold for the next dump or listing and the C64 screen gets its text limit.
    QAction* optionsAction() const { return optionsAction_; }
    void editOptions();
    // Gives the C64 screen the text limit of the session's viewer options.
    void applyViewerOptions();

    RichTextView* view() const { return view_; }
    TfC64Screen* c64Screen() const { return screen_; }
    QAction* c64ScreenAction() const { return screenAction_; }
    QAction* detokenizeAction() const { return detokenizeAction_; }
    QAction* listAction() const { return listAction_; }
    QAction* wordWrapAction() const { return wordWrapAction_; }
    QAction* stayOnTopAction() const { return stayOnTopAction_; }
    const std::string& importFolder() const { return lastImport_; }
    bool abortRequested() const { return abort_; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void buildCommands();
    void applyGroups(const ViewerGroups& groups);
    bool upperLower() const { return upperLower_ ? upperLower_() : false; }
    void columnsSwitched(bool eighty);
    bool runDetokenizer(std::string_view displayName, const std::vector<std::uint8_t>* bytes,
                        const std::string& path);
    bool saveProgramAs(const std::string& target, bool withStartAddress);

    Session& session_;
    FileChooser& chooser_;
    BlockMapFiles* files_ = nullptr;
    std::function<bool()> upperLower_;
    std::function<std::size_t()> maxText_;
    std::function<void()> activated_;
    RichTextView* view_ = nullptr;
    TfC64Screen* screen_ = nullptr;
    QLabel* status_[3] = {};
    std::string buffer_;
    ViewerState state_ = ViewerState::Empty;
    int bamRow_ = -1;
    std::string importPath_;
    std::string importStartText_;
    std::string lastImport_;
    WorkAroundSettings workArounds_;
    bool prepared_ = false;
    bool abort_ = false;
    int mode_ = 0;  // the BASIC mode the token table selects

    QAction* screenAction_ = nullptr;
    QAction* detokenizeAction_ = nullptr;
    QAction* listAction_ = nullptr;
    QAction* wordWrapAction_ = nullptr;
    QAction* stayOnTopAction_ = nullptr;
    QAction* optionsAction_ = nullptr;
};

}  // namespace qv::app
