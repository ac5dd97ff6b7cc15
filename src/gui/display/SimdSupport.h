#pragma once

// Which vector extensions the processor offers, asked once at run time: the build keeps
// the baseline x86-64 target, and the pixel loops that gain from wider vectors
// choose their form by these answers.

namespace tessarin {

bool cpuHasAvx2();
bool cpuHasAvx512();

}  // namespace tessarin
