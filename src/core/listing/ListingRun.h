#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/RunHost.h"
#include "image/Detection.h"
#include "image/DiskImage.h"
#include "listing/DirectoryReader.h"
#include "listing/GeosEntrySink.h"
#include "listing/PetsciiConversion.h"
#include "listing/RunKind.h"
#include "listing/TextBuffer.h"

namespace qv {

class Dialogs;
class ScreenSink;
struct ListerOptions;

// The listing window, as the copy step drives it.
class ListingView {
  public:
    virtual ~ListingView() = default;
    // Stop or resume redrawing and change events.
    virtual void setUpdates(bool on) = 0;
    // Empties the window and sets the default colour to black.
    virtual void clearText() = 0;
    // Shows the bytes (code page 437, CR LF); false when the window refuses them.
    virtual bool setText(const std::string& bytes) = 0;
    // Length of the window's text, counting a line break as one character.
    virtual std::size_t textLength() const = 0;
    // Colours a range (positions with single line breaks) blue.
    virtual void colourHeader(std::size_t start, std::size_t end) = 0;
    virtual void applyListingFont() = 0;
    virtual void setAbortEnabled(bool on) = 0;
};

// Everything the main window keeps between runs: the listing text since "Clear",
// the header marks, the counts, the current image and the save folder.
class Listing {
  public:
    Listing(const ListerOptions& options, Dialogs& dialogs, std::size_t textLimit = 0);

    void setHost(RunHost* host) { host_ = host ? host : &nullHost_; }
    void setScreen(ScreenSink* screen) { screen_ = screen; }
    void setGeosSink(GeosEntrySink* sink) { geosSink_ = sink; }
    void setKeywords(KeywordLookup keywords) { keywords_ = std::move(keywords); }
    // Seconds since some fixed point; the run's time estimates use it.
    void setClock(std::function<double()> clock) { clock_ = std::move(clock); }
    void setLog(UnsupportedSizeLog* log) { log_ = log; }

    // The main window's character set choice.
    CharMode mode = CharMode::UpperGraphics;
    // The paths of the next run.
    std::vector<std::string> fileList;
    // Folder of the generated listing file.
    std::string saveDir;

    const TextBuffer& text() const { return text_; }
    const HeaderMarks& marks() const { return marks_; }
    int imagesListed() const { return imagesListed_; }
    // A GEOS entry was listed since "Clear".
    bool geosSeen() const { return geosSeen_; }
    const std::string& currentImage() const { return currentImage_; }
    void setCurrentImage(const std::string& path) { currentImage_ = path; }
    bool abortFlag() const { return abortFlag_; }

    // Lists every file of the file list (run kind 1 "Load...", 2 "Load Extended...",
    // 3 drop). Returns the number of images listed by this run.
    int listFiles(RunKind runKind);
    // "List": the current image once more, appended. Returns false when it could
    // not be listed (the reason was shown). An image that cannot be opened stays the
    // current image; one whose variant cannot be used is forgotten.
    bool listAgain();

    // The "Abort" button. Returns true on the fifth press after the flag was already
    // set: the window should then give the user back its commands.
    bool pressAbort();
    // "Clear": the text, the marks and the count start again.
    void clear();

    // Status texts after "Load...", "Load Extended...", a drop and "List": whether the
    // images listed since "Clear" hold GEOS files.
    std::string finishStatusPanel2();
    std::string statusPanel3() const;

    // Copies the text into the listing window and colours the header lines
    // (asking first when the text exceeds maxText). Returns false when cancelled.
    bool copyToWindow(ListingView& view, std::size_t maxText);

  private:
    void writeGeneratedHeader(const std::string& path, bool listCommand);
    void listImage(DiskImage& image);
    void noteAppend(TextBuffer::AppendResult result);
    void append(std::string_view bytes);
    void appendLine(std::string_view line, bool break40);
    void addScreenLine(const std::string& line);

    const ListerOptions& options_;
    Dialogs& dialogs_;
    RunHost nullHost_;
    RunHost* host_ = &nullHost_;
    ScreenSink* screen_ = nullptr;
    GeosEntrySink* geosSink_ = nullptr;
    UnsupportedSizeLog* log_ = nullptr;
    KeywordLookup keywords_;
    std::function<double()> clock_;

    TextBuffer text_;
    HeaderMarks marks_;
    int imagesListed_ = 0;
    bool geosSeen_ = false;
    bool abortFlag_ = false;
    int abortClicks_ = 0;
    bool marksFailureShown_ = false;
    std::string currentImage_;
    std::string previousDir_;
    // Scratch texts reused for every image and entry.
    std::string header_;
    std::string styled_;
    std::string prefix_;
    ConvertedText converted_;
    bool firstOfRun_ = true;
};

class TokenTable;
// The BASIC V2 keywords of a token table, as the listing looks them up.
KeywordLookup v2Keywords(const TokenTable& table);

// Hours, minutes and seconds as "%02i:%02i:%02i".
std::string formatDuration(double seconds);

// The estimate of a run after image i (0-based) of n: (n - i + 1) x elapsed / (i + 1).
double estimateTimeLeft(int i, int n, double elapsed);

}  // namespace qv
