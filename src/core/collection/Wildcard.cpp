#include "collection/Wildcard.h"

namespace qv {
namespace {

char fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The length of the character starting at text[i].
std::size_t charLength(std::string_view text, std::size_t i) {
    std::size_t n = 1;
    while (i + n < text.size() && continuation(text[i + n]))
        ++n;
    return n;
}

// Matches the bracket expression at pattern[p] (just past the "[") against the
// character c; sets end to the index past the closing "]". False with end = npos when
// the bracket does not close.
bool matchClass(std::string_view pattern, std::size_t p, std::string_view c, std::size_t& end) {
    bool negate = false;
    if (p < pattern.size() && (pattern[p] == '!' || pattern[p] == '^')) {
        negate = true;
        ++p;
    }
    bool hit = false;
    bool first = true;
    const std::string folded = foldCase(c);
    while (p < pattern.size() && (first || pattern[p] != ']')) {
        first = false;
        if (pattern[p] == '\\' && p + 1 < pattern.size())
            ++p;
        const std::size_t n = charLength(pattern, p);
        const std::string low = foldCase(pattern.substr(p, n));
        p += n;
        if (p + 1 < pattern.size() && pattern[p] == '-' && pattern[p + 1] != ']') {
            ++p;
            if (pattern[p] == '\\' && p + 1 < pattern.size())
                ++p;
            const std::size_t m = charLength(pattern, p);
            const std::string high = foldCase(pattern.substr(p, m));
            p += m;
            if (low <= folded && folded <= high && low.size() == folded.size())
                hit = true;
        } else if (low == folded) {
            hit = true;
        }
    }
    if (p >= pattern.size()) {
        end = std::string_view::npos;
        return false;
    }
    end = p + 1;
    return hit != negate;
}

}  // namespace

std::string foldCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = fold(c);
    return out;
}

std::string requiredText(std::string_view pattern) {
    std::string best, run;
    const auto endRun = [&] {
        if (run.size() > best.size())
            best = run;
        run.clear();
    };
    for (std::size_t p = 0; p < pattern.size(); ++p) {
        const char c = pattern[p];
        if (c == '*' || c == '?') {
            endRun();
        } else if (c == '[') {
            // One character of a set: the run ends, and the set is skipped (scanned as
            // matchClass scans it). An unclosed "[" is plain, but ends the run too.
            endRun();
            std::size_t q = p + 1;
            if (q < pattern.size() && (pattern[q] == '!' || pattern[q] == '^'))
                ++q;
            for (bool first = true; q < pattern.size() && (first || pattern[q] != ']'); ++q) {
                first = false;
                if (pattern[q] == '\\' && q + 1 < pattern.size())
                    ++q;
            }
            if (q < pattern.size())
                p = q;  // at the closing "]"
        } else if (c == '\\') {
            // The escaped character is plain, but the run is ended anyway: simpler, and
            // a shorter required text is still required.
            endRun();
            ++p;
        } else {
            run += fold(c);
        }
    }
    endRun();
    return best;
}

bool wildcardMatch(std::string_view pattern, std::string_view text) {
    // Iterative matching with one backtrack point, the last "*" seen: linear in
    // practice and never recursive, whatever the pattern.
    std::size_t p = 0, t = 0;
    std::size_t starP = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        bool advanced = false;
        if (p < pattern.size()) {
            const char pc = pattern[p];
            const std::size_t n = charLength(text, t);
            if (pc == '*') {
                starP = p++;
                starT = t;
                continue;
            }
            if (pc == '?') {
                ++p;
                t += n;
                advanced = true;
            } else if (pc == '[') {
                std::size_t end = 0;
                const bool hit = matchClass(pattern, p + 1, text.substr(t, n), end);
                if (end == std::string_view::npos) {
                    if (text[t] == '[') {  // an unclosed bracket is a plain "["
                        ++p;
                        ++t;
                        advanced = true;
                    }
                } else if (hit) {
                    p = end;
                    t += n;
                    advanced = true;
                }
            } else {
                std::size_t q = p;
                if (pc == '\\' && p + 1 < pattern.size())
                    ++q;
                if (fold(pattern[q]) == fold(text[t])) {
                    p = q + 1;
                    ++t;
                    advanced = true;
                }
            }
        }
        if (advanced)
            continue;
        if (starP == std::string_view::npos)
            return false;
        p = starP + 1;
        starT += charLength(text, starT);
        t = starT;
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

}  // namespace qv
