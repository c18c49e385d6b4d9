// How the program's heap gives memory back to the system.
#pragma once

namespace modra {

// Keeps glibc from returning freed memory at the top of the heap to the
// kernel until 64 MB of it are free, and serves allocations of up to
// 32 MB from the heap. Mesa's software rasteriser frees its working memory
// after every flush and takes it again at the next; with the default
// thresholds each flush gave it back and faulted it in anew, which made a
// pick among 10,000 groups 25 times slower. The 32 MB is the largest size
// glibc's own adaptive threshold would reach, so big vertex arrays keep
// being allocated as before. Call once, before anything is allocated in
// earnest (the executable's main).
void SetHeapPolicy();

}  // namespace modra
