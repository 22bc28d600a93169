// F's file calls on Windows: no sharing while the program has the file open.
#include <windows.h>

#include <algorithm>

#include "scripts/stop.hpp"
#include "scripts/textfile.hpp"

namespace kelvaro::os {

namespace {

HANDLE as_handle(Handle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

int open_with(const std::string& name, DWORD access, DWORD disposition, Handle* handle) {
  HANDLE opened =
      CreateFileA(name.c_str(), access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
  *handle = reinterpret_cast<Handle>(opened);
  return 0;
}

// ReadFile and WriteFile take a DWORD count; larger buffers go in pieces of this size.
constexpr std::size_t kMostPerCall = 1u << 30;

}  // namespace

// Windows refuses to overwrite a read-only file even for an administrator; Wine run by root
// would not, so the attribute is looked at first.
int create_file(const std::string& name, Handle* handle) {
  DWORD attributes = GetFileAttributesA(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
      !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return ERROR_ACCESS_DENIED;
  }
  return open_with(name, GENERIC_WRITE, CREATE_ALWAYS, handle);
}

int open_file_read(const std::string& name, Handle* handle) {
  return open_with(name, GENERIC_READ, OPEN_EXISTING, handle);
}

int write_file(Handle handle, const char* data, std::size_t size) {
  while (size > 0) {
    DWORD piece = static_cast<DWORD>(std::min(size, kMostPerCall));
    DWORD written = 0;
    if (!WriteFile(as_handle(handle), data, piece, &written, nullptr)) {
      return static_cast<int>(GetLastError());
    }
    if (written != piece) return kShortWrite;
    data += piece;
    size -= piece;
  }
  return 0;
}

int read_file(Handle handle, char* data, std::size_t size, std::size_t* got) {
  DWORD piece = static_cast<DWORD>(std::min(size, kMostPerCall));
  DWORD read = 0;
  if (!ReadFile(as_handle(handle), data, piece, &read, nullptr)) {
    return static_cast<int>(GetLastError());
  }
  *got = read;
  return 0;
}

int close_file(Handle handle) {
  if (!CloseHandle(as_handle(handle))) return static_cast<int>(GetLastError());
  return 0;
}

}  // namespace kelvaro::os
