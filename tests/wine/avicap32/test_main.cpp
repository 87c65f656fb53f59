// Entry of service_tests.exe. Run as "service_tests --read-clipboard FILE" it
// is the other process of the clipboard test: it writes the clipboard's
// CF_DIB (header and rows) to FILE and exits 0, or exits 1 when there is none.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "service_fixture.h"

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--read-clipboard") == 0) {
    Dib dib;
    if (!ReadClipboardDib(&dib)) return 1;
    std::string bytes(reinterpret_cast<const char*>(&dib.header), sizeof dib.header);
    bytes.append(reinterpret_cast<const char*>(dib.bits.data()), dib.bits.size());
    WriteWholeFile(argv[2], bytes);
    return 0;
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
