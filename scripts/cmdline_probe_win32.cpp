// A test's stand-in for a script: records the command line that it was started with.
#include <windows.h>

#include <cstring>

int main() {
  const char* line = GetCommandLineA();
  HANDLE out = CreateFileA("cmdline.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(out, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
  CloseHandle(out);
  return 0;
}
