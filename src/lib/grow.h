// A list that grows at its end, in one malloc'd block: what the core keeps
// where the count is not known in advance (undo, the solver's work). Its
// items are records that start as zero bytes and may move as bytes when the
// block grows: plain records, and Grow lists themselves. Running out of
// memory ends the program, as it would with the standard containers.
#pragma once
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

template <class T>
class Grow {
public:
    Grow() = default;
    Grow(const Grow& o) { *this = o; }
    Grow& operator=(const Grow& o) {
        static_assert(std::is_trivially_copyable<T>::value, "only plain records are copied");
        if (this != &o) {
            clear();
            reserve(o.size_);
            if (o.size_) std::memcpy(static_cast<void*>(items_), o.items_, o.size_ * sizeof(T));
            size_ = o.size_;
        }
        return *this;
    }
    Grow(Grow&& o) noexcept : items_(o.items_), size_(o.size_), room_(o.room_) { o.Forget(); }
    Grow& operator=(Grow&& o) noexcept {
        if (this != &o) {
            release();
            items_ = o.items_, size_ = o.size_, room_ = o.room_;
            o.Forget();
        }
        return *this;
    }
    ~Grow() { release(); }

    void push_back(const T& v) {
        if (size_ == room_) reserve(room_ ? 2 * room_ : 8);
        new (Raw(size_)) T(v);
        ++size_;
    }
    void pop_back() { Drop(size_ - 1); }
    // New items start as zero bytes.
    void resize(size_t n) {
        if (n > room_) reserve(n);
        if (n > size_) std::memset(Raw(size_), 0, (n - size_) * sizeof(T));
        else Drop(n);
        size_ = n;
    }
    void assign(size_t n, const T& v) {
        clear();
        reserve(n);
        for (size_t i = 0; i < n; ++i) push_back(v);
    }
    void reserve(size_t n) {
        if (n <= room_) return;
        void* grown = std::realloc(static_cast<void*>(items_), n * sizeof(T));
        if (!grown) std::abort();
        items_ = static_cast<T*>(grown);
        room_ = n;
    }
    void clear() { Drop(0); }
    // Hands the block back, as a list that has never grown.
    void release() {
        Drop(0);
        std::free(static_cast<void*>(items_));
        Forget();
    }
    void swap(Grow& o) {
        Grow t(static_cast<Grow&&>(o));
        o = static_cast<Grow&&>(*this);
        *this = static_cast<Grow&&>(t);
    }

    T& operator[](size_t i) { return items_[i]; }
    const T& operator[](size_t i) const { return items_[i]; }
    T& back() { return items_[size_ - 1]; }
    const T& back() const { return items_[size_ - 1]; }
    T* data() { return items_; }
    const T* data() const { return items_; }
    T* begin() { return items_; }
    T* end() { return items_ + size_; }
    const T* begin() const { return items_; }
    const T* end() const { return items_ + size_; }
    size_t size() const { return size_; }
    size_t capacity() const { return room_; }
    bool empty() const { return size_ == 0; }
    bool operator==(const Grow& o) const {
        if (size_ != o.size_) return false;
        for (size_t i = 0; i < size_; ++i)
            if (!(items_[i] == o.items_[i])) return false;
        return true;
    }
    bool operator!=(const Grow& o) const { return !(*this == o); }

private:
    void* Raw(size_t i) { return static_cast<void*>(items_ + i); }
    // Ends the items from i on.
    void Drop(size_t i) {
        if (!std::is_trivially_destructible<T>::value)
            for (size_t k = i; k < size_; ++k) items_[k].~T();
        if (i < size_) size_ = i;
    }
    void Forget() { items_ = nullptr, size_ = room_ = 0; }

    T* items_ = nullptr;
    size_t size_ = 0, room_ = 0;
};
