#include "listing/ListingRun.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <memory>

#include "host/Dialogs.h"
#include "listing/ListingLayout.h"
#include "listing/PlainEntryLine.h"
#include "screen/ScreenSink.h"
#include "settings/ListerOptions.h"
#include "support/Files.h"
#include "support/GeosText.h"
#include "viewer/TokenTable.h"

namespace qv {
namespace {

// A slot taker made of a function.
template <typename F>
class TakeWith final : public SlotTaker {
  public:
    explicit TakeWith(F f) : f_(std::move(f)) {}
    int take(const Block& block, int first, unsigned offered) override {
        return f_(block, first, offered);
    }

  private:
    F f_;
};

// Images listed before a run makes room for the rest of its text.
constexpr int kImagesForEstimate = 32;

double steadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

std::string formatDuration(double seconds) {
    const long total = seconds < 0 ? 0 : static_cast<long>(seconds);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02i:%02i:%02i", static_cast<int>(total / 3600),
                  static_cast<int>(total / 60 % 60), static_cast<int>(total % 60));
    return buf;
}

KeywordLookup v2Keywords(const TokenTable& table) {
    // The keywords are looked up once; the lookup then only reads the copy.
    auto words = std::make_shared<std::array<std::string, 256>>();
    for (int b = 0x80; b < 0x100; ++b) {
        const std::optional<std::string> k = table.keywordForV2Byte(static_cast<std::uint8_t>(b));
        if (k)
            (*words)[static_cast<std::size_t>(b)] = *k;
    }
    return [words](std::uint8_t b) -> std::string_view { return (*words)[b]; };
}

double estimateTimeLeft(int i, int n, double elapsed) {
    return (n - i + 1) * elapsed / (i + 1);
}

Listing::Listing(const ListerOptions& options, Dialogs& dialogs, std::size_t textLimit)
    : options_(options), dialogs_(dialogs), clock_(steadySeconds), text_(textLimit) {}

void Listing::noteAppend(TextBuffer::AppendResult result) {
    // The buffer is gone: the run stops, and nothing more is appended until "Clear".
    if (result == TextBuffer::AppendResult::OutOfMemory) {
        abortFlag_ = true;
        dialogs_.message("MainForm: Failed to reallocate memory for Text...aborted");
    }
}

void Listing::append(std::string_view bytes) {
    noteAppend(text_.append(bytes));
}

void Listing::appendLine(std::string_view line, bool break40) {
    noteAppend(text_.appendLine(line, break40));
}

void Listing::addScreenLine(const std::string& line) {
    if (screen_)
        screen_->addLine(line, false);
}

void Listing::writeGeneratedHeader(const std::string& path, bool listCommand) {
    if (!options_.generateHeader)
        return;
    // The block is put together in scratch storage kept from image to image and
    // appended in one piece.
    std::string& block = header_;
    block.clear();
    const auto styled = [&](const std::string& t) -> std::string_view {
        if (!options_.customHeader)
            return t;
        styled_ = customHeaderText(t, options_.driveLetter, options_.skip);
        return styled_;
    };
    if (options_.addPath == 2) {
        const std::string dir = folderPart(path);
        if (!listCommand && (firstOfRun_ || dir != previousDir_)) {
            appendHeaderBlock(styled(dir), options_, block);
            block += "\r\n\r\n\r\n";
        }
        previousDir_ = dir;
        firstOfRun_ = false;
        styled_.assign("D64 Image: ");
        styled_ += fileNamePart(path);
        appendHeaderBlock(styled_, options_, block);
    } else {
        appendHeaderBlock(styled(path), options_, block);
    }
    block += "\r\n";
    append(block);
}

void Listing::listImage(DiskImage& image) {
    if (marks_.valid() && !marks_.reserveForImage() && !marksFailureShown_) {
        marksFailureShown_ = true;
        dialogs_.message("MainForm: Failed to reallocate memory for Selection...no reversing");
    }
    const DiskHeader header = readHeader(image, options_);

    if (screen_)
        screen_->markHeader();
    const std::size_t start = text_.size();
    const ConversionChoice headerChoice =
        chooseConversion(ListingTextKind::Header, header.geosDisk, options_, mode);
    if (screen_)
        screen_->setUpperLower(headerChoice.upperLower);
    ConvertedText& headerText = converted_;
    convertListingTextInto(headerChoice, header.headerText, nullptr, options_, screen_, keywords_,
                           headerText);
    appendLine(headerText.listing, true);
    addScreenLine(headerText.screen);
    if (screen_)
        screen_->clearReverse();
    marks_.add(start, text_.size());

    const bool screenLines = imagesListed_ < options_.imagesInC64Screen;
    // The choice depends on the image only through whether an entry is a GEOS file.
    const ConversionChoice choices[2] = {
        chooseConversion(ListingTextKind::Entry, false, options_, mode),
        chooseConversion(ListingTextKind::Entry, true, options_, mode)};
    // The common entries go straight from their bytes into the text, unless the C64
    // screen wants their lines. The lines of a run of them are appended at once, before
    // the entry that ends the run.
    const PlainEntryLine plain(choices[0].mode, options_.convertEverything);
    auto quick = TakeWith([&](const Block& block, int first, unsigned offered) {
        char lines[8 * PlainEntryLine::kMaxLength];
        std::size_t size = 0;
        int slot = first;
        for (; slot < 8; ++slot) {
            if ((offered >> slot & 1u) == 0)
                continue;
            const std::size_t n = plain.write(block.data() + 32 * slot, lines + size);
            if (n == 0)
                break;
            size += n;
            if (screen_) {
                screen_->setUpperLower(choices[0].upperLower);
                screen_->clearReverse();
            }
        }
        if (size > 0)
            append(std::string_view(lines, size));
        return slot;
    });
    const auto visit = [&](const DirEntry& e) {
        if (e.isGeos)
            geosSeen_ = true;
        const ConversionChoice& choice = choices[e.isGeos ? 1 : 0];
        std::string& prefix = prefix_;
        prefix.assign(e.blocksText);
        ConvertedText& name = converted_;
        convertListingTextInto(choice, e.nameText, &prefix, options_, screen_, keywords_, name);
        if (e.isGeos && choice.geosText && options_.generateGeosFileDetails && geosSink_) {
            const int firstOffset = blockOffset(e.firstBlock, image.dosType());
            if (firstOffset >= 0) {
                const std::int64_t back = image.tell();
                image.seek(e.entryOffset + 21);
                geosSink_->addGeosEntry(image,
                                        convertGeosText(e.nameText, geosTextOptions(options_)),
                                        e.typeText, firstOffset, image.dosType());
                image.seek(back);
            }
        }
        // The entry that ends the image at a zero run shows no type.
        const bool withType = !(options_.abortImageAt0x00 && e.zeroRun);
        const std::string_view blank =
            withType && (e.typeText.empty() || e.typeText.front() != '*') ? " " : "";
        const std::string_view type = withType ? std::string_view(e.typeText) : "";
        noteAppend(text_.appendLineParts({prefix, name.listing, blank, type}, true));
        if (screen_) {
            screen_->setUpperLower(choice.upperLower);
            if (screenLines)
                addScreenLine(entryLine(prefix, name.screen, e.typeText, withType));
            screen_->clearReverse();
        }
    };
    const DirEnd end =
        walkDirectory(image, options_, dialogs_, visit, screen_ && screenLines ? nullptr : &quick);

    const ClosingLines closing = closingLines(end, header.blocksFree);
    if (!closing.freeLine.empty())
        appendLine(closing.freeLine, true);
    for (int i = 0; i < closing.emptyLines; ++i)
        appendLine("", true);
    if (screen_) {
        if (!closing.freeLine.empty())
            addScreenLine(closing.freeLine);
        addScreenLine("");
        addScreenLine("");
    }
    if (end == DirEnd::CrosslinkCancelAll)
        abortFlag_ = true;
    ++imagesListed_;
}

int Listing::listFiles(RunKind runKind) {
    (void)runKind;  // chooses the name of the generated file, written by the caller
    abortFlag_ = false;
    abortClicks_ = 0;
    firstOfRun_ = true;
    const int n = static_cast<int>(fileList.size());
    host_->runStarted(n);
    host_->setStatus(StatusPanel::State, "Listing...Time left:");
    const double t0 = clock_();
    const std::size_t startSize = text_.size();
    int listed = 0;
    for (int i = 0; i < n; ++i) {
        host_->setProgress(i);
        const std::string& path = fileList[static_cast<std::size_t>(i)];
        const ExtensionCheck ext = checkExtension(path, dialogs_);
        if (ext == ExtensionCheck::Stop)
            break;
        if (ext == ExtensionCheck::Skip)
            continue;
        std::optional<DiskImage> image = DiskImage::open(path);
        if (!image)
            continue;
        DetectContext ctx{options_, dialogs_, abortFlag_, saveDir, log_};
        const int dosType = detectDosType(*image, true, ctx);
        if (dosType != kDosUnusable) {
            image->setDosType(dosType);
            currentImage_ = path;
            host_->showCurrentImage(path);
            host_->processEvents();
            writeGeneratedHeader(path, false);
            listImage(*image);
            ++listed;
            if (listed == kImagesForEstimate && n - i - 1 > kImagesForEstimate) {
                // A long run makes room for the rest of its text from what its first
                // images took, instead of moving the growing text again and again.
                const std::size_t perImage = (text_.size() - startSize) / kImagesForEstimate;
                text_.expect(perImage * static_cast<std::size_t>(n - i - 1) / 4 * 5);
            }
            if (i % 25 == 0) {
                host_->setStatus(StatusPanel::Counts,
                                 formatDuration(estimateTimeLeft(i, n, clock_() - t0)));
            }
        }
        image.reset();
        if (abortFlag_) {
            abortFlag_ = false;
            break;
        }
    }
    host_->runFinished();
    return listed;
}

bool Listing::listAgain() {
    if (currentImage_.empty())
        return false;
    std::optional<DiskImage> image = DiskImage::open(currentImage_);
    if (!image) {
        dialogs_.showError("MainForm", currentImage_, "", "Failed to open Image...",
                           errorflag::ReportPath);
        return false;
    }
    abortFlag_ = false;
    DetectContext ctx{options_, dialogs_, abortFlag_, saveDir, log_};
    const int dosType = detectDosType(*image, true, ctx);
    if (dosType == kDosUnusable) {
        // An image whose variant cannot be used is forgotten.
        currentImage_.clear();
        return false;
    }
    image->setDosType(dosType);
    writeGeneratedHeader(currentImage_, true);
    listImage(*image);
    abortFlag_ = false;
    return true;
}

bool Listing::pressAbort() {
    if (abortFlag_) {
        if (++abortClicks_ >= 5) {
            abortClicks_ = 0;
            return true;
        }
        return false;
    }
    abortFlag_ = true;
    abortClicks_ = 0;
    return false;
}

void Listing::clear() {
    text_.clear();
    marks_.clear();
    marksFailureShown_ = false;
    imagesListed_ = 0;
    geosSeen_ = false;
}

std::string Listing::finishStatusPanel2() {
    // The text describes the listing in the window, as the count beside it does: a
    // drop or "List" that appends plain disks to GEOS ones leaves GEOS files in it.
    return imagesListed_ == 0 ? "No Files" : geosSeen_ ? "GEOS Files included" : "only Basic Files";
}

std::string Listing::statusPanel3() const {
    return std::to_string(imagesListed_) + " Image(s) listed";
}

bool Listing::copyToWindow(ListingView& view, std::size_t maxText) {
    const std::string& all = text_.text();
    bool truncate = false;
    if (text_.valid() && all.size() > maxText) {
        const std::string text =
            "Caution...the TextLength is greater than " + std::to_string(maxText / 1000000) +
            " Mbyte.\nThe RichEdit20.dll/RichEdit32.dll could limit the max amount of "
            "Text...\n\nClick 'Yes' to truncate the Text, 'No' to try copying anyway or "
            "'Cancel' to abort.\nNote, that the complete ASCII File still can be created by "
            "'File|Save...'\n";
        switch (dialogs_.host().askYesNoCancel("Warning", text)) {
            case MessageAnswer::Cancel:
                return false;
            case MessageAnswer::Yes:
                truncate = true;
                break;
            case MessageAnswer::No:
                break;
        }
    }
    if (!text_.valid() || all.empty()) {
        view.clearText();
        return true;
    }
    view.setAbortEnabled(false);
    host_->setStatus(StatusPanel::State, "Copying...");
    host_->setStatus(StatusPanel::Counts, "");
    view.setUpdates(false);
    view.clearText();
    view.applyListingFont();
    const std::string shown = truncate ? all.substr(0, maxText) : all;
    if (!view.setText(shown)) {
        dialogs_.message("MainForm: Error assigning Text to RichEdit");
        view.applyListingFont();
        view.setUpdates(true);
        return true;
    }
    if (view.textLength() > 0 && marks_.valid() && marks_.count() > 0) {
        view.setAbortEnabled(true);
        host_->setStatus(StatusPanel::State, "Reversing...Time left:");
        abortFlag_ = false;
        const std::vector<std::size_t> starts = offsetsWithSingleLineBreaks(shown, marks_.starts());
        const std::vector<std::size_t> ends = offsetsWithSingleLineBreaks(shown, marks_.ends());
        const double t0 = clock_();
        const std::size_t length = view.textLength();
        for (std::size_t i = 0; i < starts.size() && !abortFlag_ && starts[i] < length; ++i) {
            view.colourHeader(starts[i], std::min(ends[i], length));
            if ((i + 1) % 50 == 0) {
                const double elapsed = clock_() - t0;
                const double left = elapsed / static_cast<double>(i + 1) *
                                    static_cast<double>(starts.size() - i - 1);
                host_->setStatus(StatusPanel::Counts, formatDuration(left));
                host_->processEvents();
            }
        }
        view.setAbortEnabled(false);
    }
    host_->setStatus(StatusPanel::State, "Converting...");
    host_->setStatus(StatusPanel::Counts, "");
    view.applyListingFont();
    host_->setStatus(StatusPanel::State, "");
    view.setUpdates(true);
    return true;
}

}  // namespace qv
