#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "host/Dialogs.h"

namespace qv::test {

// A DialogHost for tests: answers come from queues given by the test, and every
// question, error and message is recorded. When a queue is empty the question is
// answered like Escape (result 2), the error dialog with its default button.
class ScriptedDialogHost : public DialogHost {
  public:
    std::deque<QuestionReply> questionAnswers;
    std::deque<int> errorAnswers;
    std::deque<std::optional<std::string>> saveFileAnswers;
    std::deque<std::optional<std::string>> textAnswers;
    std::deque<MessageAnswer> messageAnswers;
    std::deque<bool> okCancelAnswers;  // empty: OK
    // Answer to the error dialog when errorAnswers is empty; 0: its default button.
    int defaultErrorAnswer = 0;

    std::vector<QuestionRequest> questions;
    std::vector<ErrorLayout> errors;
    std::vector<std::string> messages;
    std::vector<SaveFileRequest> saveFileRequests;

    QuestionReply showQuestion(const QuestionRequest& request) override {
        questions.push_back(request);
        if (questionAnswers.empty())
            return QuestionReply{2, request.preset.choice, false, false};
        QuestionReply r = questionAnswers.front();
        questionAnswers.pop_front();
        return r;
    }
    int showError(const ErrorLayout& layout) override {
        errors.push_back(layout);
        if (!errorAnswers.empty()) {
            const int r = errorAnswers.front();
            errorAnswers.pop_front();
            return r;
        }
        if (defaultErrorAnswer != 0) return defaultErrorAnswer;
        for (const ErrorButton& b : layout.buttons) {
            if (b.isDefault)
                return b.result;
        }
        return 2;
    }
    void showMessage(const std::string& text) override { messages.push_back(text); }
    MessageAnswer askYesNoCancel(const std::string& caption, const std::string& text) override {
        messages.push_back(caption + ": " + text);
        if (messageAnswers.empty())
            return MessageAnswer::Cancel;
        const MessageAnswer a = messageAnswers.front();
        messageAnswers.pop_front();
        return a;
    }
    bool askOkCancel(const std::string& caption, const std::string& text) override {
        messages.push_back(caption + ": " + text);
        if (okCancelAnswers.empty())
            return true;
        const bool a = okCancelAnswers.front();
        okCancelAnswers.pop_front();
        return a;
    }
    std::optional<std::string> askSaveFile(const SaveFileRequest& request) override {
        saveFileRequests.push_back(request);
        if (saveFileAnswers.empty())
            return std::nullopt;
        auto a = saveFileAnswers.front();
        saveFileAnswers.pop_front();
        return a;
    }
    std::optional<std::string> askText(const std::string&, const std::string&,
                                       const std::string&) override {
        if (textAnswers.empty())
            return std::nullopt;
        auto a = textAnswers.front();
        textAnswers.pop_front();
        return a;
    }
};

// A temporary folder removed with everything in it when the test ends.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }  // ends with a separator
    std::string file(const std::string& name) const { return path_ + name; }

  private:
    std::string path_;
};

}  // namespace qv::test
