#pragma once
// Start-up tuning of the C heap for lociview-cli: a plate of tens of
// thousands of peaks is as many small blocks, and faulting the heap in page
// by page cost more than reading the numbers.

namespace lociview::headless {

// Grows the heap in one step and lets it use 2 MB pages where the kernel
// allows; does nothing in sanitizer builds.
void preferLargeHeapPages();

}  // namespace lociview::headless
