#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <type_traits>
#include <variant>

#include "settings/IniFile.h"
#include "support/Colour.h"

namespace qv {

// A colour as a decimal integer of the settings file. Which byte is red depends on
// the key (red x 65536 + green x 256 + blue, or the toolkit's blue-first order).
using Colour = std::uint32_t;

// Reads a colour; only the low 24 bits count, so a damaged value still gives a colour.
inline Colour readColour(const IniFile& ini, const std::string& section, const std::string& key,
                         Colour def) {
    return static_cast<Colour>(ini.readInt(section, key, static_cast<int>(def))) & 0xFFFFFFu;
}

inline void writeColour(IniFile& ini, const std::string& section, const std::string& key,
                        Colour value) {
    ini.writeString(section, key, std::to_string(value & 0xFFFFFFu));
}

// Reads a text key into value (kept when the key is missing). Defined out of line: a
// record without text fields still instantiates the text branch of readKeys below,
// and GCC 12 at -O3, once the string assignment is inlined there, takes it for an
// access outside the record (-Warray-bounds).
void readStringKey(const IniFile& ini, const char* section, const char* key, std::string& value);

// One key of a settings record: where it is stored, which field holds it and
// whether the program ever writes it. The default is the field's initial value.
template <class Record>
struct SettingKey {
    const char* section;
    const char* key;
    std::variant<bool Record::*, int Record::*, std::string Record::*, Colour Record::*> field;
    bool written = true;
};

// Reads every key into the record; a missing or unreadable key leaves the field as it is.
template <class Record>
void readKeys(const IniFile& ini, Record& record, std::span<const SettingKey<Record>> keys) {
    for (const auto& k : keys) {
        std::visit(
            [&](auto field) {
                auto& v = record.*field;
                using T = std::remove_reference_t<decltype(v)>;
                if constexpr (std::is_same_v<T, bool>) {
                    v = ini.readBool(k.section, k.key, v);
                } else if constexpr (std::is_same_v<T, int>) {
                    v = ini.readInt(k.section, k.key, v);
                } else if constexpr (std::is_same_v<T, std::string>) {
                    readStringKey(ini, k.section, k.key, v);
                } else {
                    v = readColour(ini, k.section, k.key, v);
                }
            },
            k.field);
    }
}

// Writes the keys that the program writes; the others are left alone.
template <class Record>
void writeKeys(IniFile& ini, const Record& record, std::span<const SettingKey<Record>> keys) {
    for (const auto& k : keys) {
        if (!k.written)
            continue;
        std::visit(
            [&](auto field) {
                const auto& v = record.*field;
                using T = std::remove_cvref_t<decltype(v)>;
                if constexpr (std::is_same_v<T, bool>) {
                    ini.writeBool(k.section, k.key, v);
                } else if constexpr (std::is_same_v<T, int>) {
                    ini.writeInt(k.section, k.key, v);
                } else if constexpr (std::is_same_v<T, std::string>) {
                    ini.writeText(k.section, k.key, v);
                } else {
                    writeColour(ini, k.section, k.key, v);
                }
            },
            k.field);
    }
}

}  // namespace qv
