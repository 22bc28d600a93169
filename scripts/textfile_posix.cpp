// F's file calls on POSIX, with errno mapped to the Windows error codes that the stop reports.
//
// The mapping: ENOENT 2 (3 where a folder on the path is missing), ENOTDIR 3, EMFILE and
// ENFILE 4, EACCES EPERM EROFS EISDIR ETXTBSY EEXIST 5, EBADF 6, ENOMEM 8, EBUSY and
// EWOULDBLOCK 32 (a file held by another opener), EINVAL 87, ENAMETOOLONG 206, ELOOP 1921,
// ENOSPC EDQUOT EFBIG EIO and a short write 101; any other errno 31, a general failure.
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "scripts/stop.hpp"
#include "scripts/textfile.hpp"

namespace kelvaro::os {

namespace {

bool folder_exists(const std::string& name) {
  auto slash = name.find_last_of('/');
  if (slash == std::string::npos) return true;
  struct stat info;
  return stat(name.substr(0, slash == 0 ? 1 : slash).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int windows_code(int error, const std::string& name) {
  switch (error) {
    case ENOENT:
      return folder_exists(name) ? 2 : 3;
    case ENOTDIR:
      return 3;
    case EMFILE:
    case ENFILE:
      return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
    case EEXIST:
      return 5;
    case EBADF:
      return 6;
    case ENOMEM:
      return 8;
    case EBUSY:
    case EWOULDBLOCK:
      return 32;
    case EINVAL:
      return 87;
    case ENAMETOOLONG:
      return 206;
    case ELOOP:
      return 1921;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
    case EIO:
      return kShortWrite;
    default:
      return 31;
  }
}

// Like the Windows console's files: no other opener may share a file that F holds.
int open_unshared(const std::string& name, int flags, Handle* handle) {
  int fd = open(name.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0) return windows_code(errno, name);
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int error = errno;
    close(fd);
    return windows_code(error, name);
  }
  *handle = fd;
  return 0;
}

}  // namespace

// A file without a write bit is read-only, as the Windows attribute is, even to root.
int create_file(const std::string& name, Handle* handle) {
  struct stat info;
  if (stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
      (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    return 5;
  }
  int code = open_unshared(name, O_WRONLY | O_CREAT, handle);
  if (code) return code;
  if (ftruncate(static_cast<int>(*handle), 0) != 0) {
    int error = errno;
    close(static_cast<int>(*handle));
    return windows_code(error, name);
  }
  return 0;
}

int open_file_read(const std::string& name, Handle* handle) {
  struct stat info;
  if (stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return 5;
  return open_unshared(name, O_RDONLY, handle);
}

int write_file(Handle handle, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t written = ::write(static_cast<int>(handle), data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return written < 0 ? windows_code(errno, "") : kShortWrite;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

int read_file(Handle handle, char* data, std::size_t size, std::size_t* got) {
  for (;;) {
    ssize_t n = ::read(static_cast<int>(handle), data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return windows_code(errno, "");
    *got = static_cast<std::size_t>(n);
    return 0;
  }
}

int close_file(Handle handle) {
  if (::close(static_cast<int>(handle)) != 0 && errno != EINTR) return windows_code(errno, "");
  return 0;
}

}  // namespace kelvaro::os
