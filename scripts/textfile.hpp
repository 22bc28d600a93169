// F, the program's one text file: created or opened, used and closed in one go.
#pragma once

#include <cstddef>
#include <cstdint>
#include <source_location>
#include <string>
#include <string_view>

namespace kelvaro {

// The platform's file calls. Each returns 0 or a Windows error code (kShortWrite for a write
// that stored fewer bytes than it was given).
namespace os {
using Handle = std::intptr_t;
int create_file(const std::string& name, Handle* handle);     // overwrites; no sharing
int open_file_read(const std::string& name, Handle* handle);  // no sharing
int write_file(Handle handle, const char* data, std::size_t size);
int read_file(Handle handle, char* data, std::size_t size, std::size_t* got);
int close_file(Handle handle);
}  // namespace os

// Every operation is tested at once: a failure throws FileError (see stop.hpp).
class TextFile {
 public:
  using Where = std::source_location;

  TextFile() = default;
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  void create(const std::string& name, Where where = Where::current());
  void open_read(const std::string& name, Where where = Where::current());
  void write(std::string_view piece, Where where = Where::current());
  void line_end(Where where = Where::current());
  // The number in decimal, right-aligned with blanks in `width` columns; never cut.
  void write_number(long value, int width, Where where = Where::current());
  // A whole line: the text, then CR LF.
  void line(std::string_view text, Where where = Where::current());
  // The next byte of a file opened for reading, or -1 at its end.
  int read_byte(Where where = Where::current());
  // Writes what is buffered and closes.
  void close(Where where = Where::current());

 private:
  void flush(Where where);

  os::Handle handle_ = -1;
  std::string buffer_;
  std::size_t read_pos_ = 0;
  bool at_end_ = false;
  bool reading_ = false;
};

}  // namespace kelvaro
