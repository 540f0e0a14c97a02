#pragma once

#include "data/StringPool.h"

#include <QString>
#include <QStringList>

#include <cstring>
#include <string_view>

// A list of text values kept back to back as UTF-8, each ended by a NUL: a value costs one byte more than
// its text, where a QStringList spends some 60 bytes on each. Values never hold a NUL (it is left out).
class PooledValues {
public:
    qsizetype size() const { return _count; }
    bool isEmpty() const { return _count == 0; }
    // Bytes held (the values' UTF-8 and one end mark each).
    size_t bytes() const { return _chars.size(); }

    void append(std::string_view utf8)
    {
        if (utf8.find('\0') == std::string_view::npos) {
            _chars.append(utf8.data(), utf8.size());
        } else {
            for (char c : utf8) {
                if (c)
                    _chars.push_back(c);
            }
        }
        _chars.push_back('\0');
        ++_count;
    }
    void append(QStringView value)
    {
        const QByteArray u = value.toUtf8();
        append(std::string_view(u.constData(), size_t(u.size())));
    }

    // Calls f(std::string_view utf8) for each value in order.
    template <typename F> void forEach(F&& f) const
    {
        const char* p = _chars.data();
        const char* const end = p + _chars.size();
        while (p < end) {
            const size_t n = std::strlen(p);
            f(std::string_view(p, n));
            p += n + 1;
        }
    }

    QStringList toStringList() const
    {
        QStringList list;
        list.reserve(_count);
        forEach([&list](std::string_view v) { list << QString::fromUtf8(v.data(), qsizetype(v.size())); });
        return list;
    }
    static PooledValues fromStringList(const QStringList& list)
    {
        PooledValues values;
        for (const QString& v : list)
            values.append(QStringView(v));
        return values;
    }
    void squeeze() { _chars.squeeze(); }

private:
    PodBuffer<char> _chars;
    qsizetype _count = 0;
};
