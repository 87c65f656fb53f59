// What the processor offers to the image code: MORVA_CAPCORE_X86 says
// whether x86 vector code (SSE2, SSSE3) can be compiled here at all, and the
// functions whether this processor runs it (asked once, then remembered).
#ifndef MORVA_CAPCORE_CPU_FEATURES_H
#define MORVA_CAPCORE_CPU_FEATURES_H

#if defined(__i386__) || defined(__x86_64__)
#define MORVA_CAPCORE_X86 1
#else
#define MORVA_CAPCORE_X86 0
#endif

namespace capcore {

bool CpuHasSse2();
bool CpuHasSsse3();

}  // namespace capcore

#endif
