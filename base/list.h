#pragma once

// A growable array for the program's few small collections. Unlike std::vector it has no
// path that throws, so the program file carries none of the C++ exception machinery; memory
// comes from the program's operator new, which ends the program when there is none.

#include <cstddef>
#include <new>
#include <utility>

template <typename T>
class List {
 public:
  List() = default;
  List(const List&) = delete;
  List& operator=(const List&) = delete;
  List(List&& other) noexcept
      : items_(std::exchange(other.items_, nullptr)),
        size_(std::exchange(other.size_, 0)),
        capacity_(std::exchange(other.capacity_, 0)) {}
  ~List() {
    Clear();
    ::operator delete(items_);
  }

  T* begin() { return items_; }
  T* end() { return items_ + size_; }
  const T* begin() const { return items_; }
  const T* end() const { return items_ + size_; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T& operator[](std::size_t index) { return items_[index]; }
  const T& operator[](std::size_t index) const { return items_[index]; }
  T& back() { return items_[size_ - 1]; }

  void Reserve(std::size_t capacity) {
    if (capacity <= capacity_) return;
    // A count too large to allocate asks for the impossible and ends the program.
    const std::size_t bytes = capacity > static_cast<std::size_t>(-1) / sizeof(T)
                                  ? static_cast<std::size_t>(-1)
                                  : capacity * sizeof(T);
    T* items = static_cast<T*>(::operator new(bytes));
    for (std::size_t i = 0; i < size_; ++i) {
      new (items + i) T(std::move(items_[i]));
      items_[i].~T();
    }
    ::operator delete(items_);
    items_ = items;
    capacity_ = capacity;
  }

  void Add(T item) {
    if (size_ == capacity_) Reserve(capacity_ ? capacity_ * 2 : 4);
    new (items_ + size_) T(std::move(item));
    ++size_;
  }

  // Removes the items the predicate picks, keeping the order of the others.
  template <typename Predicate>
  void RemoveIf(Predicate picks) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < size_; ++i) {
      if (picks(items_[i])) continue;
      if (kept != i) items_[kept] = std::move(items_[i]);
      ++kept;
    }
    while (size_ > kept) items_[--size_].~T();
  }

  void Clear() {
    while (size_ > 0) items_[--size_].~T();
  }

 private:
  T* items_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};
