// Test access to the settings file, independent of the application's code.
#include "tests/wine/support/settings_file.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <vector>

std::string SettingsFilePath() {
  char dir[MAX_PATH] = "";
  UINT n = GetWindowsDirectoryA(dir, sizeof dir);
  if (n == 0 || n >= sizeof dir) return "Morva.ini";
  std::string path = dir;
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path + "Morva.ini";
}

bool SettingsFileExists() {
  return GetFileAttributesA(SettingsFilePath().c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadSettingsFile() {
  // The profile functions may cache the file; flush the cache first.
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, "Morva.ini");
  std::ifstream in(SettingsFilePath(), std::ios::binary);
  if (!in) return std::string();
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteSettingsFile(const std::string& bytes) {
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, "Morva.ini");
  std::ofstream out(SettingsFilePath(), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void DeleteSettingsFile() {
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, "Morva.ini");
  DeleteFileA(SettingsFilePath().c_str());
}

std::string ReadSettingsKey(const char* section, const char* key) {
  std::vector<char> value(32768);
  GetPrivateProfileStringA(section, key, "<missing>", value.data(),
                           static_cast<DWORD>(value.size()), SettingsFilePath().c_str());
  return value.data();
}
