#pragma once

#include <map>
#include <optional>
#include <string>

#include "host/Dialogs.h"

namespace qv::cli {

// Answers the program's questions on a terminal. When standard input is not a
// terminal (or --batch is given) nothing is asked: each question gets its preset
// answer, which options can change, so a script never hangs.
class CliDialogHost : public DialogHost {
  public:
    CliDialogHost();

    // Preset answers for batch use, by question mode: the result and the choice.
    void presetAnswer(QuestionMode mode, int result, int choice = 0, bool dontAsk = true);
    // The preset answer of a mode (Escape's result 2 when none was set).
    QuestionReply preset(QuestionMode mode) const {
        const auto it = presets_.find(mode);
        return it == presets_.end() ? QuestionReply{} : it->second;
    }
    void setInteractive(bool interactive) { interactive_ = interactive; }
    bool interactive() const { return interactive_; }
    void setQuiet(bool quiet) { quiet_ = quiet; }

    QuestionReply showQuestion(const QuestionRequest& request) override;
    int showError(const ErrorLayout& layout) override;
    void showMessage(const std::string& text) override;
    MessageAnswer askYesNoCancel(const std::string& caption, const std::string& text) override;
    bool askOkCancel(const std::string& caption, const std::string& text) override;
    std::optional<std::string> askSaveFile(const SaveFileRequest& request) override;
    std::optional<std::string> askText(const std::string& caption, const std::string& prompt,
                                       const std::string& preset) override;

  private:
    std::optional<std::string> readLine(const std::string& prompt);

    std::map<QuestionMode, QuestionReply> presets_;
    bool interactive_;
    bool quiet_ = false;
};

// Parses the batch-answer options shared by the commands that list images:
//   --ext PATTERN       extensions to accept besides .D64: *.D64 *.*D64 *.D64* *.*D64* *.*
//   --forty-as TYPE     an undetected 40-track image: original|speeddos|dolphindos|prologicdos|skip
//   --crosslink WHAT    a crosslinked directory: list|abort|cancel
//   --batch             never ask, even on a terminal
// Returns true when args[i] was one of them (i then points at its last word); sets
// error for a bad value.
bool parseAnswerOption(const std::vector<std::string>& args, std::size_t& i, CliDialogHost& host,
                       std::string& error);

extern const char* const kAnswerOptionsHelp;

// The value of --exists of the export commands: what a file of the same name gets
// (rename, overwrite or skip) as the preset answer of the name-exists question.
// False for any other value.
bool parseExistsAnswer(const std::string& value, CliDialogHost& host);

}  // namespace qv::cli
