// REPROG: loads a firmware image into the unit in the background and reports progress.
#pragma once

#include <cstdint>
#include <string>

namespace qelio {

// Opens and checks the image file, then starts the background run. Throws Failure.
void StartReprogram(const std::string& path);

// Progress of the background run: 0..100, or a negative failure code. Throws Failure.
int32_t ProgressState();

// Internal hooks for tests and benchmarks.
// Waits until the background run, if one was started, has ended.
void WaitForReprogramEnd();
// Waits for the run, then forgets it: no image loaded, no monitor, as at load.
void ResetReprogramState();

}  // namespace qelio
