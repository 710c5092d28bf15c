// A list that grows at its end, in one malloc'd block: what the core keeps
// where the count is not known in advance (undo, the solver's work). Its
// items are plain records, moved as bytes when the block grows. Running out
// of memory ends the program, as it would with the standard containers.
#pragma once
#include <cstddef>
#include <cstdlib>
#include <cstring>

template <class T>
class Grow {
public:
    Grow() = default;
    Grow(const Grow&) = delete;
    Grow& operator=(const Grow&) = delete;
    Grow(Grow&& o) noexcept : items_(o.items_), size_(o.size_), room_(o.room_) {
        o.items_ = nullptr, o.size_ = o.room_ = 0;
    }
    Grow& operator=(Grow&& o) noexcept {
        if (this != &o) {
            std::free(items_);
            items_ = o.items_, size_ = o.size_, room_ = o.room_;
            o.items_ = nullptr, o.size_ = o.room_ = 0;
        }
        return *this;
    }
    ~Grow() { std::free(items_); }

    void push_back(const T& v) {
        if (size_ == room_) reserve(room_ ? 2 * room_ : 8);
        std::memcpy(static_cast<void*>(items_ + size_), &v, sizeof(T));
        ++size_;
    }
    void pop_back() { --size_; }
    // New items are zero bytes.
    void resize(size_t n) {
        if (n > room_) reserve(n);
        if (n > size_) std::memset(static_cast<void*>(items_ + size_), 0, (n - size_) * sizeof(T));
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
    void clear() { size_ = 0; }
    // Hands the block back, as a list that has never grown.
    void release() {
        std::free(items_);
        items_ = nullptr, size_ = room_ = 0;
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

private:
    T* items_ = nullptr;
    size_t size_ = 0, room_ = 0;
};
