// allocation_counter.cpp: the test program's operator new and delete,
// counting every allocation (the frame loop must make none).
#include "support/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<size_t> allocations{0};

void* counted(size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

}  // namespace

namespace vel::test {

size_t allocation_count() {
  return allocations.load(std::memory_order_relaxed);
}

}  // namespace vel::test

void* operator new(size_t size) {
  return counted(size);
}
void* operator new[](size_t size) {
  return counted(size);
}
// The operators above allocate with malloc, so free is the matching
// release; GCC cannot see that through the replacement and warns.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, size_t) noexcept {
  std::free(p);
}
#pragma GCC diagnostic pop
