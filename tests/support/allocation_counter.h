// allocation_counter.h: how many times operator new has run in this test
// program. The counting operators replace the global ones for the whole
// program, so every test that asks sees the same count.
#pragma once

#include <cstddef>

namespace vel::test {

size_t allocation_count();

}  // namespace vel::test
