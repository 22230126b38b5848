#include "viewer/StartAddresses.h"

#include <algorithm>
#include <cctype>

#include "settings/IniFile.h"
#include "settings/WindowSettings.h"

namespace qv {
namespace {

// Each type's list in the stored record of [BASIC Address]; its key and default are
// the record's.
using BA = BasicAddressSettings;
constexpr std::array<std::string BA::*, 6> kFields = {
    &BA::basicV2, &BA::basicV35, &BA::basicV7, &BA::basicV2Ext, &BA::basicV35Ext, &BA::basicV7Ext,
};

const BasicAddressSettings& defaults() {
    static const BasicAddressSettings d;
    return d;
}

std::size_t slot(int type) {
    if (type < StartAddresses::kFirstType || type > StartAddresses::kLastType)
        return 0;
    return static_cast<std::size_t>(type - StartAddresses::kFirstType);
}

bool lessNoCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) <
               std::toupper(static_cast<unsigned char>(y));
    });
}

}  // namespace

StartAddresses::StartAddresses() {
    resetToDefaults();
}

const std::vector<std::string>& StartAddresses::list(int type) const {
    return lists_[slot(type)];
}
std::vector<std::string>& StartAddresses::list(int type) {
    return lists_[slot(type)];
}

const char* StartAddresses::settingsKey(int type) {
    return BasicAddressSettings::key(kFields[slot(type)]);
}
const char* StartAddresses::defaultText(int type) {
    return (defaults().*kFields[slot(type)]).c_str();
}

void StartAddresses::sortEntries(std::vector<std::string>& entries) {
    std::stable_sort(entries.begin(), entries.end(), lessNoCase);
}

std::vector<std::string> StartAddresses::parse(std::string_view stored) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (start < stored.size()) {
        const std::size_t end = stored.find(';', start);
        if (end == std::string_view::npos) {
            entries.emplace_back(stored.substr(start));
            break;
        }
        // An empty piece between two ";" is an (empty) entry as the list box keeps it.
        entries.emplace_back(stored.substr(start, end - start));
        start = end + 1;
    }
    sortEntries(entries);
    return entries;
}

std::string StartAddresses::serialize(const std::vector<std::string>& entries) {
    std::string out;
    for (const std::string& e : entries)
        out += e + ";";
    return out;
}

void StartAddresses::resetToDefaults() {
    for (int type = kFirstType; type <= kLastType; ++type)
        list(type) = parse(defaultText(type));
}

void StartAddresses::load(const IniFile& ini) {
    const BasicAddressSettings stored = BasicAddressSettings::load(ini);
    for (int type = kFirstType; type <= kLastType; ++type)
        list(type) = parse(stored.*kFields[slot(type)]);
}

void StartAddresses::save(IniFile& ini) const {
    BasicAddressSettings stored;
    for (int type = kFirstType; type <= kLastType; ++type)
        stored.*kFields[slot(type)] = serialize(list(type));
    stored.save(ini);
}

std::optional<int> StartAddresses::entryValue(std::string_view entry) {
    if (entry.empty() || entry.size() > 8)
        return std::nullopt;
    int value = 0;
    for (const char ch : entry) {
        const auto u = static_cast<unsigned char>(ch);
        if (!std::isxdigit(u))
            return std::nullopt;
        const int digit = std::isdigit(u) ? ch - '0' : std::toupper(u) - 'A' + 10;
        if (value > 0x7FFFFFF)
            return std::nullopt;
        value = value * 16 + digit;
    }
    return value;
}

StartAddresses::InputCheck StartAddresses::checkInput(std::string_view text) {
    if (text.empty())
        return InputCheck::Empty;
    if (text.size() >= 5)
        return InputCheck::TooLong;
    if (!entryValue(text))
        return InputCheck::NotHex;
    return InputCheck::Ok;
}

const char* StartAddresses::inputMessage(InputCheck check) {
    switch (check) {
        case InputCheck::TooLong:
            return "String too long...";
        case InputCheck::NotHex:
            return "Not a valid Hexnumber...";
        default:
            return "";
    }
}

StartAddresses::InputCheck StartAddresses::add(int type, const std::string& text) {
    const InputCheck check = checkInput(text);
    if (check != InputCheck::Ok || type < kFirstType || type > kLastType)
        return check;
    std::vector<std::string>& entries = list(type);
    entries.insert(std::upper_bound(entries.begin(), entries.end(), text, lessNoCase), text);
    return check;
}

bool StartAddresses::holds(int type, int address) const {
    return std::any_of(list(type).begin(), list(type).end(), [address](const std::string& e) {
        const auto v = entryValue(e);
        return v && *v == address;
    });
}

std::optional<int> StartAddresses::detect(int address) const {
    for (int type = 2; type <= 4; ++type) {
        if (holds(type, address))
            return type;
    }
    return std::nullopt;
}

bool StartAddresses::valid(int address, int type) const {
    if (type >= 2 && type <= 4)
        return holds(type, address);
    if (type >= 5 && type <= 7)
        return holds(type - 3, address) || holds(type, address);
    return false;
}

}  // namespace qv
