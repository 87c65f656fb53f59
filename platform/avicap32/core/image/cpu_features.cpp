// The processor's vector extensions, asked once (see cpu_features.h).
#include "core/image/cpu_features.h"

namespace capcore {

#if MORVA_CAPCORE_X86
bool CpuHasSse2() {
  static const bool has = __builtin_cpu_supports("sse2");
  return has;
}

bool CpuHasSsse3() {
  static const bool has = __builtin_cpu_supports("ssse3");
  return has;
}
#else
bool CpuHasSse2() { return false; }
bool CpuHasSsse3() { return false; }
#endif

}  // namespace capcore
