// Morva.ini in the Windows directory, for tests: read, write (any bytes),
// delete, and look up one key the way the application would.
#ifndef MORVA_TESTS_SUPPORT_SETTINGS_FILE_H
#define MORVA_TESTS_SUPPORT_SETTINGS_FILE_H

#include <string>

std::string SettingsFilePath();            // e.g. C:\windows\Morva.ini
bool SettingsFileExists();
std::string ReadSettingsFile();            // whole file as bytes, "" when missing
void WriteSettingsFile(const std::string& bytes);
void DeleteSettingsFile();
// The key's text, or "<missing>" when the file lacks it.
std::string ReadSettingsKey(const char* section, const char* key);

#endif
