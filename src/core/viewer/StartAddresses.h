#pragma once

// The load addresses that identify (detect) or admit (valid) a BASIC program of each
// tokenset type, kept as the user typed them: up to four hex digits without prefix.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

class IniFile;

class StartAddresses {
  public:
    static constexpr int kFirstType = 2;  // BASIC V2
    static constexpr int kLastType = 7;   // BASIC V7 extensions

    // The default lists.
    StartAddresses();

    // The list of a type 2-7 (BASIC V2, V3.5, V7 and their extension lists 5, 6, 7).
    const std::vector<std::string>& list(int type) const;
    std::vector<std::string>& list(int type);

    // The settings key in [BASIC Address] and the default stored text of a type.
    static const char* settingsKey(int type);
    static const char* defaultText(int type);

    // Stored form: every entry followed by ";". Reading splits at ";"; a non-empty text
    // after the last ";" is an entry too. The result is sorted as the list keeps it.
    static std::vector<std::string> parse(std::string_view stored);
    static std::string serialize(const std::vector<std::string>& entries);

    void resetToDefaults();
    // Missing keys give the defaults.
    void load(const IniFile& ini);
    void save(IniFile& ini) const;

    // The value of an entry read as a hexadecimal number; none when it is not one.
    static std::optional<int> entryValue(std::string_view entry);

    enum class InputCheck { Ok, Empty, TooLong, NotHex };
    // What the "+" button does with a typed text: empty adds nothing, five or more
    // characters are "String too long...", a text that is no hex number "Not a valid
    // Hexnumber...".
    static InputCheck checkInput(std::string_view text);
    static const char* inputMessage(InputCheck check);
    // Adds the text as typed, sorted in; duplicates are kept. Returns the check result.
    InputCheck add(int type, const std::string& text);

    // The first of types 2, 3, 4 whose list holds the address; none otherwise.
    std::optional<int> detect(int address) const;
    // Types 2-4: in that list; 5-7: in the base list or the extension list; else false.
    bool valid(int address, int type) const;

  private:
    bool holds(int type, int address) const;
    static void sortEntries(std::vector<std::string>& entries);

    std::array<std::vector<std::string>, 6> lists_;
};

}  // namespace qv
