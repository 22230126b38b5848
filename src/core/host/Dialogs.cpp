#include "host/Dialogs.h"

namespace qv {
namespace {

std::array<QuestionSpec, 7> makeSpecs() {
    std::array<QuestionSpec, 7> s{};
    s[0] = {QuestionMode::NameExists,
            "File Name Exists...",
            "File Name Exists...",
            {{"Overwrite", answer::Go},
             {"Append", answer::Keep},
             {"Other Name", answer::Rename},
             {"Cancel", answer::Stop}}};
    s[1] = {QuestionMode::AutoRename,
            "File Name Exists...",
            "File Name Exists...",
            {{"Overwrite", answer::Go},
             {"Auto Rename", answer::Keep},
             {"Other Name", answer::Rename},
             {"Cancel", answer::Stop}}};
    s[2] = {
        QuestionMode::Crosslink,
        "Crosslinked Entry...",
        "",
        {{"List Anyway", answer::Go}, {"Abort", answer::Stop}, {"Cancel All", answer::StopAll}}};
    s[3] = {QuestionMode::UnsupportedSize,
            "Unsupported Filesize...",
            "Unsupported Filesize...",
            {{"OK", answer::Go}, {"Cancel All", answer::Stop}}};
    s[3].hasLogBox = true;
    s[4] = {QuestionMode::WrongExtension,
            "Wrong File Extension...",
            "File is not a *.D64 File. Choose valid Extensions to Process:",
            {{"OK", answer::Go}, {"Cancel All", answer::Stop}}};
    s[4].extensions = {"*.D64", "*.*D64", "*.D64*", "*.*D64*", "*.*"};
    s[4].extraHeight = 156;
    s[5] = {QuestionMode::ExtendedBam,
            "Extended BAM could not be detected...",
            "The Extended BAM could not be detected. Handle this Image as:",
            {{"OK", answer::Go}, {"Cancel", answer::Stop}, {"Cancel All", answer::StopAll}}};
    s[5].radioLabels = {"Original", "SpeedDOS", "DolphinDOS", "PrologicDOS"};
    s[5].extraHeight = 196;
    s[6] = {QuestionMode::OldSettingsFile,
            "Old Ini File detected...",
            "",
            {{"Copy", answer::Go},
             {"Move", answer::Keep},
             {"Delete", answer::Rename},
             {"Cancel", answer::Stop}}};
    s[6].hasDontAskBox = false;
    s[6].extraHeight = 146;
    return s;
}

int modeIndex(QuestionMode mode) {
    return static_cast<int>(mode);
}

}  // namespace

const QuestionSpec& questionSpec(QuestionMode mode) {
    static const std::array<QuestionSpec, 7> forms = makeSpecs();
    return forms[static_cast<std::size_t>(modeIndex(mode) - 1)];
}

const QuestionMemory& Dialogs::memory(QuestionMode mode) const {
    return memory_[static_cast<std::size_t>(modeIndex(mode))];
}

QuestionMemory& Dialogs::memory(QuestionMode mode) {
    return memory_[static_cast<std::size_t>(modeIndex(mode))];
}

QuestionReply Dialogs::ask(QuestionMode mode, const std::string& path, const std::string& message) {
    const QuestionSpec& form = questionSpec(mode);
    QuestionMemory& mem = memory(mode);
    if (form.hasDontAskBox && mem.dontAsk) {
        return {mem.lastResult, mem.choice, mem.logFile, true};
    }
    QuestionRequest request;
    request.form = &form;
    request.path = path;
    // The caller's message where it gives one (modes 3 and 7 always do, mode 4 adds the
    // size to its text), else the mode's own.
    request.message = message.empty() ? form.message : message;
    request.preset = mem;
    if (mode == QuestionMode::WrongExtension && mem.lastResult == 0) {
        request.preset.choice = 0;  // first entry chosen
    }
    if (mode == QuestionMode::ExtendedBam && mem.choice == 0) {
        request.preset.choice = 1;  // "Original" chosen
    }
    QuestionReply reply = host_->showQuestion(request);
    if (!form.hasDontAskBox)
        reply.dontAsk = false;
    if (reply.result == answer::StopAll)
        reply.dontAsk = false;  // "Cancel All" unticks the box
    mem.dontAsk = reply.dontAsk;
    mem.lastResult = reply.result;
    mem.choice = reply.choice;
    mem.logFile = reply.logFile;
    return reply;
}

ErrorLayout errorLayout(const std::string& module, const std::string& line1,
                        const std::string& line2, const std::string& message, int flags) {
    ErrorLayout l;
    l.flags = flags;
    l.caption = module + ((flags & errorflag::NoFileCaption) ? ": Error..." : ": Error in File...");
    l.line1 = line1;
    l.line2 = line2;
    l.message = message;
    l.showLine2 = (flags & errorflag::HideLine2) == 0;
    l.topHeight = (flags & errorflag::HideLine2) ? 40 : 0;
    l.line1ErrorFont = (flags & errorflag::Line1ErrorFont) != 0;
    l.line2ErrorFont = (flags & errorflag::Line2ErrorFont) != 0;
    const bool rowWording = (flags & errorflag::RowWording) != 0;
    const ErrorButton cont{"Continue", 1, 0, false};
    const ErrorButton second{rowWording ? "Abort Row" : "Abort File", 2, 0, true};
    const ErrorButton third{rowWording ? "Abort File" : "Abort Image", 3, 0, false};
    if (flags & errorflag::OkOnly) {
        l.buttons = {{"OK", 1, 126, true}};
    } else if (flags & errorflag::NoThirdButton) {
        l.buttons = {cont, second};
        l.buttons[0].x = 66;
        l.buttons[1].x = 186;
    } else if (flags & errorflag::NoSecondButton) {
        l.buttons = {cont, third};
        l.buttons[0].x = 66;
        l.buttons[1].x = 186;
        l.buttons[1].isDefault = true;
    } else {
        l.buttons = {cont, second, third};
        l.buttons[0].x = 6;
        l.buttons[1].x = 126;
        l.buttons[2].x = 246;
    }
    return l;
}

int errorResult(int flags, int windowResult) {
    if ((flags & errorflag::OkOnly) == 0 && (flags & errorflag::NoThirdButton) == 0 &&
        (flags & errorflag::NoSecondButton) && windowResult == erroranswer::Second)
        return 3;
    return windowResult;
}

int Dialogs::showError(const std::string& module, const std::string& line1,
                       const std::string& line2, const std::string& message, int flags) {
    return errorResult(flags, host_->showError(errorLayout(module, line1, line2, message, flags)));
}

}  // namespace qv
