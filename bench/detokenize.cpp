// Detokenizing speed: a generated BASIC V2 program of 10,000 lines, listed with syntax
// colours, against a plain byte-copy loop over the same program measured in the same run.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "viewer/Detokenizer.h"
#include "viewer/StartAddresses.h"
#include "viewer/TokenTable.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

Bytes makeProgram(int lines) {
    // Lines in the style of real programs: keywords, strings with colour and cursor
    // codes, numbers, variables, comments.
    const std::vector<Bytes> templates = {
        {0x99, '"', 0x93, 0x11, 0x11, 'H', 'E', 'L', 'L', 'O',
         ' ',  'W', 'O',  'R',  'L',  'D', '"', ';', 'A', '$'},
        {0x8B, 'X', 0xB1, '1', '0', 0xA7, 0x8D, '1', '0', '0', '0', ':', 0x8F, ' ', 'S', 'U', 'B'},
        {0x81, 'I', 0xB2, '1', 0xA4, '4', '0', ':', 0x97, '1', '0',
         '2',  '4', 0xAA, 'I', ',',  '3', '2', ':', 0x82, 'I'},
        {'A', 0xB2, 0xB5, '(', 0xBB, '(',  '1', ')', 0xAC, '6',  ')', 0xAA,
         '1', ':',  'B',  '$', 0xB2, 0xC7, '(', '6', '5',  0xAA, 'A', ')'},
        {0x99, '"', 0x05, 0x12, ' ', ' ', 'S', 'C', 'O', 'R', 'E', ' ', 0x92, 0x1D, 0x1D, '"', ';',
         'S', 'C'},
        {0x8F, ' ', 'T', 'H', 'I', 'S', ' ', 'I', 'S', ' ', 'A', ' ',
         'C',  'O', 'M', 'M', 'E', 'N', 'T', ' ', 'L', 'I', 'N', 'E'},
    };
    Bytes file = {0x01, 0x08};
    int address = 0x0801;
    for (int i = 0; i < lines; ++i) {
        Bytes content = templates[static_cast<std::size_t>(i) % templates.size()];
        int link = address + 4 + static_cast<int>(content.size()) + 1;
        if ((link & 0xFFFF) == 0) {  // a link of 0 would end the program
            content.push_back(' ');
            ++link;
        }
        file.push_back(static_cast<std::uint8_t>(link & 0xFF));
        file.push_back(static_cast<std::uint8_t>((link >> 8) & 0xFF));
        const int number = (i + 1) % 64000;
        file.push_back(static_cast<std::uint8_t>(number & 0xFF));
        file.push_back(static_cast<std::uint8_t>(number >> 8));
        file.insert(file.end(), content.begin(), content.end());
        file.push_back(0);
        address = link;
    }
    file.push_back(0);
    file.push_back(0);
    return file;
}

template <typename F>
double bestSeconds(int rounds, F&& f) {
    double best = 1e9;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        f();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

}  // namespace

int main() {
    const Bytes program = makeProgram(10000);
    qv::TokenTable table;
    table.fillDefaultTable(true);
    table.rebuildTokenIndex(0, true);
    const qv::StartAddresses addresses;
    qv::DetokenizeOptions options;
    options.syntaxHighlighting = true;

    std::size_t sink = 0;
    const double copy = bestSeconds(20, [&] {
        std::string out;
        out.reserve(program.size());
        for (const std::uint8_t b : program)
            out += static_cast<char>(b);
        sink += out.size() + static_cast<unsigned char>(out[out.size() / 2]);
    });
    std::size_t textBytes = 0;
    std::size_t colours = 0;
    int lines = 0;
    const double detok = bestSeconds(10, [&] {
        qv::Detokenizer d(table, addresses, options);
        const qv::DetokenizeResult r = d.detokenize(program, "BENCH");
        textBytes = r.text.size();
        colours = r.colours.size();
        lines = r.lines;
        sink += static_cast<std::size_t>(r.lines);
    });

    const double bytes = static_cast<double>(program.size());
    std::printf(
        "program: %d lines listed, %zu content bytes -> %zu text bytes, %zu colour records\n",
        lines, program.size(), textBytes, colours);
    std::printf("baseline byte copy : %14.0f bytes/s\n", bytes / copy);
    std::printf("detokenize+colours : %14.0f bytes/s  (%.1f%% of baseline; target 1000000)\n",
                bytes / detok, 100.0 * copy / detok);
    std::printf("%s\n", bytes / detok >= 1000000.0 ? "target met" : "TARGET MISSED");
    return sink == 0 ? 1 : 0;
}
