// Memory for the working texts of one key computation: taken from a buffer on
// the caller's stack while it lasts, from the heap after that. Typical names
// then cost no heap allocation at all, and a huge name still frees every heap
// block it no longer needs. Texts reach it through ScratchAllocator, a plain
// allocator (no virtual calls), so that it needs nothing beyond C++20's core
// library.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <new>

namespace keycalc {

class ScratchMemory {
  public:
    ScratchMemory() = default;
    ScratchMemory(const ScratchMemory&) = delete;
    ScratchMemory& operator=(const ScratchMemory&) = delete;

    // `bytes` aligned to `alignment` (a power of two), from the buffer while
    // it has room. Inline, as every growth of a working text comes here: a
    // call, and std::align's, cost the WebAssembly build a twentieth of a
    // batch.
    void* allocate(std::size_t bytes, std::size_t alignment) {
        const std::size_t start = (used_ + alignment - 1) & ~(alignment - 1);
        if (alignment <= alignof(std::max_align_t) && start <= buffer_size &&
            bytes <= buffer_size - start) {
            used_ = start + bytes;
            return buffer_.data() + start;
        }
        return ::operator new(bytes, std::align_val_t{alignment});
    }
    // Gives heap blocks back at once; buffer space goes with the object.
    void deallocate(void* p, std::size_t alignment) noexcept {
        const auto* byte = static_cast<const std::byte*>(p);
        if (byte >= buffer_.data() && byte < buffer_.data() + buffer_size) return;
        ::operator delete(p, std::align_val_t{alignment});
    }

  private:
    static constexpr std::size_t buffer_size = 1024;
    alignas(std::max_align_t) std::array<std::byte, buffer_size> buffer_;
    std::size_t used_ = 0;
};

// Allocates from a ScratchMemory, or from the heap when made without one
// (a text built outside a computation, as tests do).
template <class T>
class ScratchAllocator {
  public:
    using value_type = T;

    ScratchAllocator() noexcept = default;
    // Implicit, so that a text can be made from "&scratch" as with any allocator argument.
    ScratchAllocator(ScratchMemory* memory) noexcept : memory_(memory) {}
    template <class U>
    ScratchAllocator(const ScratchAllocator<U>& other) noexcept : memory_(other.memory()) {}

    T* allocate(std::size_t n) {
        if (!memory_) return std::allocator<T>{}.allocate(n);
        return static_cast<T*>(memory_->allocate(n * sizeof(T), alignof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept {
        if (!memory_) return std::allocator<T>{}.deallocate(p, n);
        memory_->deallocate(p, alignof(T));
    }

    ScratchMemory* memory() const noexcept { return memory_; }
    template <class U>
    bool operator==(const ScratchAllocator<U>& other) const noexcept {
        return memory_ == other.memory();
    }

  private:
    ScratchMemory* memory_ = nullptr;
};

}  // namespace keycalc
