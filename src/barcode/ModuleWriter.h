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

} // namespace ModuleWriter
