#pragma once

// Writing module strings in place: patterns are kept as fixed-size UTF-16 tables (built at compile time
// from "1"/"0" text) and copied whole into room made in the string, so a symbol costs one pass without
// branches on its modules and no string per character.

#include <QString>

#include <cstring>

namespace ModuleWriter {

// A pattern of at most N modules and its length.
template <int N> struct Pattern {
    char16_t m[N] = {};
    int size = 0;
};

template <int N> constexpr Pattern<N> pattern(const char* modules) {
    Pattern<N> p;
    while (modules[p.size] && p.size < N) {
        p.m[p.size] = char16_t(modules[p.size]);
        ++p.size;
    }
    return p;
}

// Makes room for `modules` more modules at the end of `out`; returns where they go.
inline char16_t* grow(QString& out, qsizetype modules) {
    const qsizetype at = out.size();
    out.resize(at + modules);
    return reinterpret_cast<char16_t*>(out.data()) + at;
}

// Cuts `out` after the last module written (`end`).
inline void finish(QString& out, const char16_t* end) {
    out.truncate(end - reinterpret_cast<const char16_t*>(out.constData()));
}

// Copies the whole table entry (all N places) and advances by its length: the room made must allow N
// after every pattern's start.
template <int N> inline char16_t* put(char16_t* w, const Pattern<N>& p) {
    std::memcpy(w, p.m, sizeof p.m);
    return w + p.size;
}

// A pattern for every ASCII character (empty for those a symbology cannot encode).
template <int N> struct AsciiTable {
    Pattern<N> c[128];
};

// The modules of the base barcode() for `content` and `check` (-1 for none), when the symbology's
// pattern of a character is its table entry (and empty outside ASCII): no modules for content with a
// character outside ASCII, else each character's pattern and the check character's.
template <int N> qsizetype asciiModuleCount(const AsciiTable<N>& t, const QString& content, int check) {
    qsizetype n = 0;
    for (QChar ch : content) {
        if (ch.unicode() > 127)
            return 0;
        n += t.c[ch.unicode()].size;
    }
    const char16_t c = char16_t(check);
    if (check != -1 && c < 128)
        n += t.c[c].size;
    return n;
}

template <int N> void appendAscii(QString& out, const AsciiTable<N>& t, const QString& content, int check) {
    for (QChar ch : content)
        if (ch.unicode() > 127)
            return;
    char16_t* w = grow(out, N * (content.size() + 1));
    for (QChar ch : content)
        w = put(w, t.c[ch.unicode()]);
    const char16_t c = char16_t(check);
    if (check != -1 && c < 128)
        w = put(w, t.c[c]);
    finish(out, w);
}

} // namespace ModuleWriter
