#pragma once

#include <QString>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>
#include <type_traits>

// A growable array of plain values that grows with realloc: large blocks are moved by the system without
// a second copy in memory, so a table of millions of entries never needs twice its size while it grows.
template <typename T> class PodBuffer {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    PodBuffer() = default;
    ~PodBuffer() { std::free(_data); }
    PodBuffer(const PodBuffer& o) { *this = o; }
    PodBuffer& operator=(const PodBuffer& o)
    {
        if (this != &o) {
            resize(o._size);
            if (o._size)
                std::memcpy(_data, o._data, o._size * sizeof(T));
        }
        return *this;
    }
    PodBuffer(PodBuffer&& o) noexcept : _data(o._data), _size(o._size), _capacity(o._capacity)
    {
        o._data = nullptr;
        o._size = o._capacity = 0;
    }
    PodBuffer& operator=(PodBuffer&& o) noexcept
    {
        std::swap(_data, o._data);
        std::swap(_size, o._size);
        std::swap(_capacity, o._capacity);
        return *this;
    }

    size_t size() const { return _size; }
    bool empty() const { return _size == 0; }
    T* data() { return _data; }
    const T* data() const { return _data; }
    T& operator[](size_t i) { return _data[i]; }
    const T& operator[](size_t i) const { return _data[i]; }
    T& back() { return _data[_size - 1]; }

    void push_back(T v)
    {
        if (_size == _capacity)
            grow(_size + 1);
        _data[_size++] = v;
    }
    void append(const T* v, size_t n)
    {
        if (_size + n > _capacity)
            grow(_size + n);
        if (n)
            std::memcpy(_data + _size, v, n * sizeof(T));
        _size += n;
    }
    // New elements are zero.
    void resize(size_t n)
    {
        if (n > _capacity)
            grow(n);
        if (n > _size)
            std::memset(static_cast<void*>(_data + _size), 0, (n - _size) * sizeof(T));
        _size = n;
    }
    void truncate(size_t n)
    {
        if (n < _size)
            _size = n;
    }
    void reserve(size_t n)
    {
        if (n > _capacity)
            setCapacity(n);
    }
    void clear() { _size = 0; }
    void squeeze()
    {
        if (_capacity > _size)
            setCapacity(_size);
    }

private:
    void grow(size_t need) { setCapacity(need > _capacity + _capacity / 2 ? need : _capacity + _capacity / 2 + 16); }
    void setCapacity(size_t n)
    {
        if (n == 0) {
            std::free(_data);
            _data = nullptr;
            _capacity = 0;
            return;
        }
        void* p = std::realloc(static_cast<void*>(_data), n * sizeof(T));
        if (!p)
            throw std::bad_alloc();
        _data = static_cast<T*>(p);
        _capacity = n;
    }

    T* _data = nullptr;
    size_t _size = 0;
    size_t _capacity = 0;
};

// Strings kept back to back as UTF-8. Entry 0 is the empty string.
class StringPool {
public:
    static constexpr quint32 kFull = 0xFFFFFFFFu;
    StringPool()
    {
        _ends.push_back(0);
        _ends.push_back(0);
    }

    // The index of the new entry; kFull when the pool cannot take more (4 GB of text).
    quint32 add(std::string_view s) { return s.empty() ? 0 : append(s); }
    // Like add, but an empty string gets an entry of its own (so that entries keep their positions).
    quint32 append(std::string_view s)
    {
        if (_chars.size() + s.size() > 0xFFFFFFF0u || _ends.size() >= 0x7FFFFFF0u)
            return kFull;
        _chars.append(s.data(), s.size());
        _ends.push_back(quint32(_chars.size()));
        return quint32(_ends.size() - 2);
    }
    quint32 add(const QString& s)
    {
        const QByteArray u = s.toUtf8();
        return add(std::string_view(u.constData(), size_t(u.size())));
    }
    std::string_view view(quint32 i) const
    {
        if (i + 1 >= _ends.size())
            return {};
        const quint32 start = _ends[i];
        return {_chars.data() + start, size_t(_ends[i + 1] - start)};
    }
    QString at(quint32 i) const
    {
        const std::string_view v = view(i);
        return QString::fromUtf8(v.data(), qsizetype(v.size()));
    }
    // Entries, the empty one included.
    quint32 count() const { return quint32(_ends.size() - 1); }
    // Drops the entries from `count` on.
    void truncate(quint32 count)
    {
        if (count < 1 || count >= this->count())
            return;
        _ends.truncate(count + 1);
        _chars.truncate(_ends.back());
    }
    void reserve(size_t entries, size_t bytes)
    {
        _ends.reserve(entries + 1);
        _chars.reserve(bytes);
    }
    void squeeze()
    {
        _ends.squeeze();
        _chars.squeeze();
    }
    size_t bytes() const { return _chars.size() + _ends.size() * sizeof(quint32); }

private:
    // _ends[0] = 0 and _ends[i + 1] = the end of entry i, so entry i is [_ends[i], _ends[i + 1]); entry 0 is empty.
    PodBuffer<char> _chars;
    PodBuffer<quint32> _ends;
};
