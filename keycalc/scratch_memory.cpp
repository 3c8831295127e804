#include "scratch_memory.h"

#include <memory>
#include <new>

namespace keycalc {

void* ScratchMemory::allocate(std::size_t bytes, std::size_t alignment) {
    void* free_space = buffer_.data() + used_;
    std::size_t free_bytes = buffer_size - used_;
    if (std::align(alignment, bytes, free_space, free_bytes)) {
        used_ = buffer_size - free_bytes + bytes;
        return free_space;
    }
    return ::operator new (bytes, std::align_val_t{alignment});
}

void ScratchMemory::deallocate(void* p, std::size_t alignment) noexcept {
    const auto* byte = static_cast<const std::byte*>(p);
    if (byte >= buffer_.data() && byte < buffer_.data() + buffer_size) return;
    ::operator delete (p, std::align_val_t{alignment});
}

}  // namespace keycalc
