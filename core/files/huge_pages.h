#pragma once

#include <cstddef>

namespace vane {

// Buffers of millions of rows fault in one 4 KiB page at a time as they are first written, and on
// a virtual machine each fault is dear (a third of a large analysis went to them). Asking for huge
// pages over the buffer's whole 2 MiB stretches cuts the faults 512-fold. It is only advice: where
// the system declines, or the buffer is small, nothing changes. Call it before the buffer is
// written; pages already touched keep their size.
void adviseHugePages(const void* data, std::size_t bytes);

}  // namespace vane
