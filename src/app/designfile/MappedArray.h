#pragma once

// A zeroed array mapped from the system: it goes back to the system as soon as it is freed (memory freed on
// other threads would otherwise stay with the process), and a large one lies in huge pages where the system
// gives them, for arrays read at random.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#include <sys/mman.h>

template <typename T> class MappedArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    MappedArray() = default;
    explicit MappedArray(size_t n) : m_size(n)
    {
        if (!n)
            return;
        const size_t bytes = n * sizeof(T);
        m_mapped = bytes >= kHuge ? bytes + kHuge : bytes;
        void* p = ::mmap(nullptr, m_mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            throw std::bad_alloc();
        m_base = p;
        auto at = reinterpret_cast<uintptr_t>(p);
        if (bytes >= kHuge) {
            at = (at + kHuge - 1) & ~uintptr_t(kHuge - 1);
            ::madvise(reinterpret_cast<void*>(at), bytes, MADV_HUGEPAGE);
        }
        m_data = reinterpret_cast<T*>(at);
    }
    MappedArray(MappedArray&& o) noexcept { swap(o); }
    MappedArray& operator=(MappedArray&& o) noexcept
    {
        swap(o);
        return *this;
    }
    ~MappedArray()
    {
        if (m_base)
            ::munmap(m_base, m_mapped);
    }
    void swap(MappedArray& o) noexcept
    {
        std::swap(m_base, o.m_base);
        std::swap(m_mapped, o.m_mapped);
        std::swap(m_data, o.m_data);
        std::swap(m_size, o.m_size);
    }
    // Grows to n elements, the new ones zero.
    void grow(size_t n)
    {
        if (n <= m_size)
            return;
        MappedArray bigger(n);
        if (m_size)
            std::memcpy(static_cast<void*>(bigger.m_data), m_data, m_size * sizeof(T));
        swap(bigger);
    }

    size_t size() const { return m_size; }
    T* data() { return m_data; }
    const T* data() const { return m_data; }
    T& operator[](size_t i) { return m_data[i]; }
    const T& operator[](size_t i) const { return m_data[i]; }

private:
    static constexpr size_t kHuge = 2 << 20;
    void* m_base = nullptr;
    size_t m_mapped = 0;
    T* m_data = nullptr;
    size_t m_size = 0;
};
