#include "CliDialogHost.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <vector>

namespace qv::cli {

const char* const kAnswerOptionsHelp =
    "  --ext PATTERN      accept other extensions: *.D64 (none, the default), *.*D64, *.D64*,\n"
    "                     *.*D64* or *.*\n"
    "  --forty-as TYPE    an undetected 40-track image is listed as original (the default),\n"
    "                     speeddos, dolphindos or prologicdos, or skipped (skip)\n"
    "  --crosslink WHAT   a crosslinked directory: list (once more), abort (the image, the\n"
    "                     default) or cancel (the whole run)\n"
    "  --batch            never ask on the terminal; use the answers above\n";

CliDialogHost::CliDialogHost() : interactive_(isatty(STDIN_FILENO) && isatty(STDERR_FILENO)) {
    presetAnswer(QuestionMode::WrongExtension, 1, 0);
    presetAnswer(QuestionMode::UnsupportedSize, 1, 0);
    presetAnswer(QuestionMode::ExtendedBam, 1, 1);
    presetAnswer(QuestionMode::Crosslink, 2, 0);
    presetAnswer(QuestionMode::NameExists, 2, 0);
    presetAnswer(QuestionMode::AutoRename, 2, 0);
    presetAnswer(QuestionMode::OldSettingsFile, 2, 0, false);
}

void CliDialogHost::presetAnswer(QuestionMode mode, int result, int choice, bool dontAsk) {
    presets_[mode] = QuestionReply{result, choice, false, dontAsk};
}

std::optional<std::string> CliDialogHost::readLine(const std::string& prompt) {
    std::fprintf(stderr, "%s", prompt.c_str());
    std::fflush(stderr);
    std::string line;
    if (!std::getline(std::cin, line))
        return std::nullopt;
    return line;
}

QuestionReply CliDialogHost::showQuestion(const QuestionRequest& r) {
    const QuestionSpec& form = *r.form;
    if (!interactive_) {
        // Say what was decided, so a batch run leaves a trace of every question.
        const QuestionReply reply = presets_[form.mode];
        std::string answer = "Escape";
        for (const DialogButton& b : form.buttons) {
            if (b.result == reply.result)
                answer = b.text;
        }
        if (!form.extensions.empty() && reply.result == answer::Go) {
            answer += " (" + form.extensions[static_cast<std::size_t>(reply.choice)] + ")";
        }
        if (!form.radioLabels.empty() && reply.result == answer::Go) {
            answer += " (" + form.radioLabels[static_cast<std::size_t>(reply.choice - 1)] + ")";
        }
        if (!quiet_) {
            std::fprintf(stderr, "%s %s: %s -> %s\n", form.caption.c_str(), r.path.c_str(),
                         r.message.c_str(), answer.c_str());
        }
        return reply;
    }
    std::fprintf(stderr, "\n%s\n  %s\n  %s\n", form.caption.c_str(), r.path.c_str(),
                 r.message.c_str());
    QuestionReply reply;
    reply.choice = r.preset.choice;
    if (!form.extensions.empty()) {
        for (std::size_t i = 0; i < form.extensions.size(); ++i) {
            std::fprintf(stderr, "    %zu) %s\n", i + 1, form.extensions[i].c_str());
        }
        const auto line = readLine("  extensions to process [1]: ");
        if (line && !line->empty())
            reply.choice = std::atoi(line->c_str()) - 1;
        if (reply.choice < 0 || reply.choice >= static_cast<int>(form.extensions.size())) {
            reply.choice = 0;
        }
    }
    if (!form.radioLabels.empty()) {
        for (std::size_t i = 0; i < form.radioLabels.size(); ++i) {
            std::fprintf(stderr, "    %zu) %s\n", i + 1, form.radioLabels[i].c_str());
        }
        const auto line = readLine("  handle this image as [1]: ");
        reply.choice = line && !line->empty() ? std::atoi(line->c_str()) : 1;
        if (reply.choice < 1 || reply.choice > 4)
            reply.choice = 1;
    }
    if (form.hasLogBox) {
        const auto line =
            readLine("  log the image in \"Unsupported_Filesize_D64Images.log\"? [y/N]: ");
        reply.logFile = line && !line->empty() && (line->front() == 'y' || line->front() == 'Y');
    }
    std::string buttons;
    for (std::size_t i = 0; i < form.buttons.size(); ++i) {
        buttons += "  " + std::to_string(i + 1) + ") " + form.buttons[i].text;
    }
    std::fprintf(stderr, "%s\n", buttons.c_str());
    const auto line = readLine("  choice [1]: ");
    if (!line)
        return reply;  // end of input: like Escape
    std::size_t pick = line->empty() ? 1 : static_cast<std::size_t>(std::atoi(line->c_str()));
    if (pick < 1 || pick > form.buttons.size())
        pick = 1;
    reply.result = form.buttons[pick - 1].result;
    if (form.hasDontAskBox) {
        const auto again = readLine("  don't ask me again during this session? [y/N]: ");
        reply.dontAsk =
            again && !again->empty() && (again->front() == 'y' || again->front() == 'Y');
    }
    return reply;
}

int CliDialogHost::showError(const ErrorLayout& layout) {
    std::fprintf(stderr, "%s\n", layout.caption.c_str());
    if (!layout.line1.empty())
        std::fprintf(stderr, "  %s\n", layout.line1.c_str());
    if (layout.showLine2 && !layout.line2.empty()) {
        std::fprintf(stderr, "  %s\n", layout.line2.c_str());
    }
    std::fprintf(stderr, "  %s\n", layout.message.c_str());
    if (layout.buttons.size() == 1 || !interactive_) {
        // Batch: the default button (the safe answer).
        for (const ErrorButton& b : layout.buttons) {
            if (b.isDefault)
                return b.result;
        }
        return 2;
    }
    std::string buttons;
    for (std::size_t i = 0; i < layout.buttons.size(); ++i) {
        buttons += "  " + std::to_string(i + 1) + ") " + layout.buttons[i].text;
    }
    std::fprintf(stderr, "%s\n", buttons.c_str());
    const auto line = readLine("  choice: ");
    if (!line || line->empty())
        return 2;
    const std::size_t pick = static_cast<std::size_t>(std::atoi(line->c_str()));
    return pick >= 1 && pick <= layout.buttons.size() ? layout.buttons[pick - 1].result : 2;
}

void CliDialogHost::showMessage(const std::string& text) {
    if (!quiet_)
        std::fprintf(stderr, "%s\n", text.c_str());
}

MessageAnswer CliDialogHost::askYesNoCancel(const std::string& caption, const std::string& text) {
    std::fprintf(stderr, "%s\n%s\n", caption.c_str(), text.c_str());
    if (!interactive_)
        return MessageAnswer::No;
    const auto line = readLine("  [y]es, [n]o, [c]ancel: ");
    if (!line || line->empty())
        return MessageAnswer::Cancel;
    if (line->front() == 'y' || line->front() == 'Y')
        return MessageAnswer::Yes;
    if (line->front() == 'n' || line->front() == 'N')
        return MessageAnswer::No;
    return MessageAnswer::Cancel;
}

bool CliDialogHost::askOkCancel(const std::string& caption, const std::string& text) {
    std::fprintf(stderr, "%s\n%s\n", caption.c_str(), text.c_str());
    if (!interactive_)
        return false;
    const auto line = readLine("  [o]k, [c]ancel: ");
    return line && !line->empty() && (line->front() == 'o' || line->front() == 'O');
}

std::optional<std::string> CliDialogHost::askSaveFile(const SaveFileRequest& request) {
    if (!interactive_)
        return std::nullopt;
    const auto line = readLine(request.caption + " (empty to cancel) [" + request.folder +
                               request.proposedName + "]: ");
    if (!line)
        return std::nullopt;
    if (line->empty())
        return std::nullopt;
    return *line;
}

std::optional<std::string> CliDialogHost::askText(const std::string& caption,
                                                  const std::string& prompt,
                                                  const std::string& preset) {
    if (!interactive_)
        return std::nullopt;
    const auto line = readLine(caption + ": " + prompt + " [" + preset + "]: ");
    if (!line)
        return std::nullopt;
    return line->empty() ? preset : *line;
}

bool parseAnswerOption(const std::vector<std::string>& args, std::size_t& i, CliDialogHost& host,
                       std::string& error) {
    const std::string& a = args[i];
    if (a == "--batch") {
        host.setInteractive(false);
        return true;
    }
    if (a != "--ext" && a != "--forty-as" && a != "--crosslink")
        return false;
    if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return true;
    }
    const std::string v = args[++i];
    if (a == "--ext") {
        const auto& patterns = questionSpec(QuestionMode::WrongExtension).extensions;
        for (std::size_t p = 0; p < patterns.size(); ++p) {
            if (v == patterns[p]) {
                host.presetAnswer(QuestionMode::WrongExtension, 1, static_cast<int>(p));
                return true;
            }
        }
        error = "--ext takes one of *.D64 *.*D64 *.D64* *.*D64* *.*";
    } else if (a == "--forty-as") {
        const char* const names[] = {"original", "speeddos", "dolphindos", "prologicdos"};
        for (int t = 0; t < 4; ++t) {
            if (v == names[t]) {
                host.presetAnswer(QuestionMode::ExtendedBam, 1, t + 1);
                return true;
            }
        }
        if (v == "skip") {
            host.presetAnswer(QuestionMode::ExtendedBam, 2, 1);
            return true;
        }
        error = "--forty-as takes original, speeddos, dolphindos, prologicdos or skip";
    } else {
        if (v == "list" || v == "abort" || v == "cancel") {
            host.presetAnswer(QuestionMode::Crosslink,
                              v == "list"    ? 1
                              : v == "abort" ? 2
                                             : 3,
                              0, v != "cancel");
            return true;
        }
        error = "--crosslink takes list, abort or cancel";
    }
    return true;
}

bool parseExistsAnswer(const std::string& value, CliDialogHost& host) {
    if (value == "rename") {
        host.presetAnswer(QuestionMode::AutoRename, 6);
    } else if (value == "overwrite") {
        host.presetAnswer(QuestionMode::AutoRename, 1);
    } else if (value == "skip") {
        host.presetAnswer(QuestionMode::AutoRename, 2);
    } else {
        return false;
    }
    return true;
}

}  // namespace qv::cli
