#include <algorithm>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "viewer/TokenTable.h"

namespace qv {
namespace {

// One tokenset of the built-in table. Codes are written as ranges of hex values
// ("11-14"), texts joined with ", " (no text holds a comma).
struct DefaultTokenset {
    int column;
    const char* name;
    const char* extensionOf;
    const char* type;
    const char* color;
    const char* prefix;
    const char* commentToken;
    const char* detokComment;
    const char* codes;
    const char* texts;
};

constexpr const char* kSimonsTexts =
    "hires, plot, line, block, fchr, fcol, fill, rec, rot, draw, char, hi col, inv, frac, move, "
    "place, upb, upw, leftw, leftb, downb, downw, rightb, rightw, multi, colour, mmob, bflash, "
    "mob set, music, flash, repeat, play, >>, centre, envelope, cgoto, wave, fetch, at(, until, "
    ">>, >>, use, >>, global, >>, reset, proc, call, exec, end proc, exit, end loop, on key, "
    "disable, resume, loop, delay, >>, >>, >>, >>, secure, disapa, circle, on error, no error, "
    "local, rcomp, else, retrace, trace, dir, page, dump, find, option, auto, old, joy, mod, div, "
    ">>, dup, inkey, inst, test, lin, exor, insert, pot, penx, >>, peny, sound, graphics, design, "
    "rlocmob, cmob, bckgnds, pause, nrm, mob off, off, angl, arc, cold, scrsv, scrld, text, cset, "
    "vol, disk, hrdcpy, key, paint, low col, copy, merge, renumber, mem, detect, check, display, "
    "err, out";

const DefaultTokenset kBasicV2 = {
    3,
    "BASIC V2",
    "-",
    "2",
    "2",
    "-",
    "0x8F",
    "1",
    "80-CB,FF",
    "end, for, next, data, input#, input, dim, read, let, goto, run, if, restore, gosub, return, "
    "rem, stop, on, wait, load, save, verify, def, poke, print#, print, cont, list, clr, cmd, sys, "
    "open, close, get, new, tab(, to, fn, spc(, then, not, step, +, -, *, /, ^, and, or, >, =, <, "
    "sgn, int, abs, usr, fre, pos, sqr, rnd, log, exp, cos, sin, tan, atn, peek, len, str$, val, "
    "asc, chr$, left$, right$, mid$, go, {pi}"};

const std::vector<DefaultTokenset>& otherTokensets() {
    static const std::vector<DefaultTokenset> sets = {
        {1, "Special Chars", "-", "1", "1", "-", "-", "-", "05,11-14,1C-20,81,85-8D,90-9F",
         "{white}, {down}, {reverse on}, {home}, {del}, {red}, {right}, {green}, {blue}, "
         "{space}, {orange}, {f1}, {f3}, {f5}, {f7}, {f2}, {f4}, {f6}, {f8}, {shift return}, "
         "{black}, {up}, {reverse off}, {clear}, {inst}, {brown}, {light red}, {dark gray}, "
         "{gray}, {light green}, {light blue}, {light gray}, {purple}, {left}, {yellow}, {cyan}"},
        {5, "BASIC V3.5", "3", "3", "3", "-", "-", "-", "CC-FD",
         "rgr, rclr, rlum, joy, rdot, dec, hex$, err$, instr, else, resume, trap, tron, troff, "
         "sound, vol, auto, pudef, graphic, paint, char, box, circle, gshape, sshape, draw, "
         "locate, color, scnclr, scale, help, do, loop, exit, directory, dsave, dload, header, "
         "scratch, collect, copy, rename, backup, delete, renumber, key, monitor, using, until, "
         "while"},
        {7, "BASIC V7", "9", "4", "4", "0xCE", "-", "-", "02-0A",
         "pot, bump, pen, rsppos, rsprite, rspcolor, xor, rwindow, pointer"},
        {9, "(BASIC V7)", "5", "4", "4", "0xFE", "-", "-", "02-1F,21,23-26",
         "bank, filter, play, tempo, movspr, sprite, sprcolor, rreg, envelope, sleep, catalog, "
         "dopen, append, dclose, bsave, bload, record, concat, dverify, dclear, sprsav, "
         "collision, begin, bend, window, boot, width, sprdef, quit, stash, fetch, swap, off, "
         "fast, slow"},
        {11, "BASIC V7.1", "7", "7", "5", "0xFE", "-", "-", "27-37",
         "cwind, sscrn, lscrn, hide, show, sfont, lfont, view, fcopy, esave, send, check, esc, "
         "old, find, dump, merge"},
        {13, "BASIC V10", "15", "7", "5", "0xCE", "-", "-", "E3,E4,E5,EE", "paste, cut, line, dir"},
        {15, "(BASIC V10)", "7", "7", "5", "0xFE", "-", "-", "1F,21,23,24,27-39,3B-3D",
         "dma, dma, dma, off, type, bverify, ectory, erase, find, change, set, screen, polygon, "
         "ellipse, viewport, gcopy, pen, palette, dmode, dpat, pic, genlock, foreground, "
         "background, border, highlight"},
        {17, "Simons BASIC", "3", "5", "6", "0x64", "-", "-", "01-7F", kSimonsTexts},
        {19, "TSB", "3", "5", "6", "0x64", "-", "-", "01-7F", kSimonsTexts},
        {21, "Final Cardridge 3", "3", "5", "6", "-", "-", "-", "CC-E8",
         "off, auto, del, renum, help, find, old, dload, dverify, dsave, append, dappend, dos, "
         "kill, mon, pdir, plist, bar, desktop, dump, array, mem, trace, replace, order, pack, "
         "unpack, mread, mwrite"},
        {23, "Graphics 52", "3", "5", "6", "-", "-", "-", "CC-FE",
         "screen, sprcl, plot, draw, clear, togl, erase, char, smove, color, sprite, sprog, "
         "cprog, pen, flip, transfer, block, bottom, sdp, scrsv, loscr, lospr, lochr, sprsv, "
         "chrsv, smooth, volume, adsr, shift, pitch, wave, pulse, detect, set, put, move, place, "
         "copy, memsv, lomem, swap, brd&bkg, switch, unless, multi, shrink, padl(, joy(, bit(, "
         "loc(, point("},
    };
    return sets;
}

std::vector<int> expandCodes(std::string_view form) {
    std::vector<int> codes;
    std::size_t pos = 0;
    while (pos < form.size()) {
        std::size_t end = form.find(',', pos);
        if (end == std::string_view::npos)
            end = form.size();
        const std::string item(form.substr(pos, end - pos));
        const std::size_t dash = item.find('-');
        const int first = std::stoi(item.substr(0, dash), nullptr, 16);
        const int last =
            dash == std::string::npos ? first : std::stoi(item.substr(dash + 1), nullptr, 16);
        for (int c = first; c <= last; ++c)
            codes.push_back(c);
        pos = end + 1;
    }
    return codes;
}

std::vector<std::string> splitTexts(std::string_view texts) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (true) {
        const std::size_t end = texts.find(", ", pos);
        out.emplace_back(texts.substr(pos, end == std::string_view::npos ? end : end - pos));
        if (end == std::string_view::npos)
            break;
        pos = end + 2;
    }
    return out;
}

void writeTokenset(TokenTable& table, const DefaultTokenset& set) {
    const int c = set.column;
    const char* header[] = {set.name,   set.extensionOf,  set.type,        set.color,
                            set.prefix, set.commentToken, set.detokComment};
    table.setCell(c, tokenrow::Number, std::to_string(c));
    table.setCell(c + 1, tokenrow::Number, std::to_string(c + 1));
    for (int r = tokenrow::Name; r <= tokenrow::DetokComment; ++r) {
        table.setCell(c, r, header[r - 1]);
        table.setCell(c + 1, r, "-");
    }
    std::vector<std::string> texts = splitTexts(set.texts);
    if (c == 19) {  // TSB: the Simons BASIC texts with two of its own
        texts[0x22 - 1] = "do";
        texts[0x54 - 1] = "d!";
    }
    const std::vector<int> codes = expandCodes(set.codes);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const int row = tokenrow::FirstToken + static_cast<int>(i);
        table.setCell(c, row, formatTokenCode(codes[i]));
        table.setCell(c + 1, row, i < texts.size() ? texts[i] : std::string());
    }
}

}  // namespace

bool TokenTable::fillDefaultTable(bool whole) {
    try {
        if (!whole) {
            resize(std::max(cols_, 5), std::max(rows_, tokenrow::FirstToken + 77));
            writeTokenset(*this, kBasicV2);
            return true;
        }
        ++revision_;
        cells_.clear();
        cols_ = 0;
        rows_ = 0;
        resize(kDefaultColCount, kDefaultRowCount);
        const char* titles[] = {"Number", "Name",   "Extension Of",  "Type",
                                "Color",  "Prefix", "Comment Token", "Detok Comment"};
        for (int r = 0; r < tokenrow::FirstToken; ++r)
            setCell(0, r, titles[r]);
        for (int r = tokenrow::FirstToken; r < kDefaultRowCount; ++r) {
            setCell(0, r, std::to_string(r - tokenrow::FirstToken + 1));
        }
        for (const DefaultTokenset& set : otherTokensets()) {
            writeTokenset(*this, set);
            if (set.column == 1)
                writeTokenset(*this, kBasicV2);
        }
        return true;
    } catch (const std::exception&) {
        message("TokenTable: Failed to fill Token Table...");
        return false;
    }
}

}  // namespace qv
