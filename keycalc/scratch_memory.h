// Memory for the working texts of one key computation: taken from a buffer on
// the caller's stack while it lasts, from the heap after that. Typical names
// then cost no heap allocation at all, and a huge name still frees every heap
// block it no longer needs.
#pragma once

#include <array>
#include <cstddef>
#include <memory_resource>

namespace keycalc {

class ScratchMemory : public std::pmr::memory_resource {
  public:
    ScratchMemory() = default;
    ScratchMemory(const ScratchMemory&) = delete;
    ScratchMemory& operator=(const ScratchMemory&) = delete;

  private:
    void* do_allocate(std::size_t bytes, std::size_t alignment) override;
    void do_deallocate(void* p, std::size_t bytes, std::size_t alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
        return this == &other;
    }

    static constexpr std::size_t buffer_size = 1024;
    alignas(std::max_align_t) std::array<std::byte, buffer_size> buffer_;
    std::size_t used_ = 0;
};

}  // namespace keycalc
