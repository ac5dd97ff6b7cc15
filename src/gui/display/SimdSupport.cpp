#include "display/SimdSupport.h"

namespace tessarin {

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))

// Function-local statics: initialised once, safely from any thread.
bool cpuHasAvx2() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
}

bool cpuHasAvx512() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx512f") != 0;
    }();
    return has;
}

#else

bool cpuHasAvx2() { return false; }
bool cpuHasAvx512() { return false; }

#endif

}  // namespace tessarin
