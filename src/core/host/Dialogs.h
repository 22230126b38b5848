#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace qv {

// The flag word of the error dialog: which buttons it has, which lines it shows and in
// which font, and how its caption ends. Flags combine with "|".
namespace errorflag {
inline constexpr int RowWording = 1;       // "Abort Row" and "Abort File" for the two aborts
inline constexpr int NoThirdButton = 2;    // "Continue" and the second button only
inline constexpr int NoSecondButton = 4;   // "Continue" and the third; closing is the third
inline constexpr int OkOnly = 8;           // a report with "OK" alone
inline constexpr int HideLine2 = 16;       // the second line (an entry name) is not shown
inline constexpr int Line1ErrorFont = 32;  // the first line in the error font
inline constexpr int Line2ErrorFont = 64;  // the second line in the error font
inline constexpr int NoFileCaption = 256;  // the caption ends ": Error..." not ": Error in File..."
// A report about a whole image: "OK", the image path alone.
inline constexpr int TellImage = OkOnly | HideLine2;
// A report about a file or a step outside an image: "OK", the path alone, ": Error...".
inline constexpr int ReportPath = TellImage | NoFileCaption;
}  // namespace errorflag

// What the error dialog returns, by button.
namespace erroranswer {
inline constexpr int Continue = 1;  // also "OK"
inline constexpr int Second = 2;    // "Abort File" ("Abort Row" with the row wording)
inline constexpr int Third = 3;     // "Abort Image" ("Abort File" with the row wording)
}  // namespace erroranswer

// What the question dialog returns, by the part a button plays in its mode.
namespace answer {
inline constexpr int Go = 1;       // "Overwrite", "List Anyway", "OK", "Copy"
inline constexpr int Stop = 2;     // "Cancel", "Abort"; "Cancel All" where it is the only other
inline constexpr int StopAll = 3;  // "Cancel All" beside "Abort" or "Cancel"; unticks the box
inline constexpr int Keep = 6;     // "Append", "Auto Rename", "Move"
inline constexpr int Rename = 7;   // "Other Name", "Delete"
}  // namespace answer

// The seven modes of the question dialog.
enum class QuestionMode : int {
    NameExists = 1,
    AutoRename = 2,
    Crosslink = 3,
    UnsupportedSize = 4,
    WrongExtension = 5,
    ExtendedBam = 6,
    OldSettingsFile = 7,
};

struct DialogButton {
    std::string text;
    int result = 0;
};

// What a mode looks like: caption, message line, buttons and extras.
struct QuestionSpec {
    QuestionMode mode{};
    std::string caption;
    std::string message;  // empty: the caller supplies the message (modes 3 and 7)
    std::vector<DialogButton> buttons;
    std::vector<std::string> extensions;   // mode 5
    std::vector<std::string> radioLabels;  // mode 6, values 1-4 in this order
    bool hasLogBox = false;                // mode 4
    bool hasDontAskBox = true;             // every mode but 7
    int extraHeight = 0;                   // modes 5-7: window height above the caption, at 96 dpi
};

const QuestionSpec& questionSpec(QuestionMode mode);

// The remembered state of one mode for the program run.
struct QuestionMemory {
    bool dontAsk = false;  // "Don't ask me again during this session"
    int lastResult = 0;
    int choice = 0;  // mode 5: index into the extension list; mode 6: radio value 1-4
    bool logFile = false;
};

// What the window shows: the form of the mode, the path line, the message and the
// preset of its controls.
struct QuestionRequest {
    const QuestionSpec* form = nullptr;
    std::string path;
    std::string message;
    QuestionMemory preset;
};

// What the user did. Escape gives result 2 in every mode.
struct QuestionReply {
    int result = 2;
    int choice = 0;
    bool logFile = false;
    bool dontAsk = false;
};

// A button of the error dialog with its x position in pixels at 96 dpi.
struct ErrorButton {
    std::string text;
    int result = 0;
    int x = 0;
    bool isDefault = false;
};

// The error dialog as the flag word shapes it.
struct ErrorLayout {
    std::string caption;
    std::string line1;
    std::string line2;
    std::string message;
    bool showLine2 = true;
    int topHeight = 0;  // 40 when the second line is hidden, else 0 (window's own layout)
    bool line1ErrorFont = false;
    bool line2ErrorFont = false;
    std::vector<ErrorButton> buttons;
    int flags = 0;
};

ErrorLayout errorLayout(const std::string& module, const std::string& line1,
                        const std::string& line2, const std::string& message, int flags);

// Maps what the window returned to the dialog's result: with flag 4 a window
// closed any other way (2) counts as "Abort Image" (3).
int errorResult(int flags, int windowResult);

enum class MessageAnswer { Yes, No, Cancel };

// The icon of a Yes/No box.
enum class MessageIcon { Question, Error };

struct SaveFileRequest {
    std::string caption;
    std::string defaultExtension;
    std::string filter;  // "Log File (*.log)|*.log"
    std::string proposedName;
    std::string folder;
};

// Implemented by the application with real windows, by the command-line program on
// the terminal and by tests with scripted answers.
class DialogHost {
  public:
    virtual ~DialogHost() = default;
    virtual QuestionReply showQuestion(const QuestionRequest& request) = 0;
    // Returns the button's result, or 2 when the window was closed otherwise.
    virtual int showError(const ErrorLayout& layout) = 0;
    // A plain message box.
    virtual void showMessage(const std::string& text) = 0;
    // A message box with Yes, No and Cancel.
    virtual MessageAnswer askYesNoCancel(const std::string& caption, const std::string& text) = 0;
    // A message box with OK and Cancel and the question icon; true for OK. A host
    // without such a box answers through askYesNoCancel.
    virtual bool askOkCancel(const std::string& caption, const std::string& text) {
        return askYesNoCancel(caption, text) == MessageAnswer::Yes;
    }
    // A message box with Yes and No; true for Yes. A host without such a box answers
    // through askYesNoCancel.
    virtual bool askYesNo(const std::string& caption, const std::string& text, MessageIcon icon) {
        (void)icon;
        return askYesNoCancel(caption, text) == MessageAnswer::Yes;
    }
    // The save dialog; nullopt when cancelled.
    virtual std::optional<std::string> askSaveFile(const SaveFileRequest& request) = 0;
    // An input box; nullopt when cancelled.
    virtual std::optional<std::string> askText(const std::string& caption,
                                               const std::string& prompt,
                                               const std::string& preset) = 0;
};

// The engine side of the dialogs: one memory per question mode for the program run.
class Dialogs {
  public:
    explicit Dialogs(DialogHost& host) : host_(&host) {}

    // Asks a question unless "Don't ask me again during this session" is ticked for
    // the mode, in which case the last answer stands again. A result of 3 unticks the box.
    // The message line shows message, or the mode's own text when it is empty.
    QuestionReply ask(QuestionMode mode, const std::string& path, const std::string& message = {});

    // The error dialog: returns 1, 2 or 3 as the flag word allows.
    int showError(const std::string& module, const std::string& line1, const std::string& line2,
                  const std::string& message, int flags);

    void message(const std::string& text) { host_->showMessage(text); }

    const QuestionMemory& memory(QuestionMode mode) const;
    QuestionMemory& memory(QuestionMode mode);

    DialogHost& host() { return *host_; }

  private:
    DialogHost* host_;
    std::array<QuestionMemory, 8> memory_{};
};

}  // namespace qv
