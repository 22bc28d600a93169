// Buffers F's writes and reads over the platform's file calls, and stops on the first failure.
#include "scripts/textfile.hpp"

#include <string>

#include "scripts/number.hpp"
#include "scripts/stop.hpp"

namespace kelvaro {

namespace {
constexpr std::size_t kChunk = 64 * 1024;
}

void TextFile::create(const std::string& name, Where where) {
  buffer_.clear();
  reading_ = false;
  if (int code = os::create_file(name, &handle_)) fail(code, where);
}

void TextFile::open_read(const std::string& name, Where where) {
  buffer_.clear();
  read_pos_ = 0;
  at_end_ = false;
  reading_ = true;
  if (int code = os::open_file_read(name, &handle_)) fail(code, where);
}

void TextFile::write(std::string_view piece, Where where) {
  buffer_.append(piece);
  if (buffer_.size() >= kChunk) flush(where);
}

void TextFile::line_end(Where where) {
  write("\r\n", where);
}

void TextFile::write_number(long value, int width, Where where) {
  write(right_aligned(value, width), where);
}

void TextFile::line(std::string_view text, Where where) {
  write(text, where);
  line_end(where);
}

int TextFile::read_byte(Where where) {
  if (read_pos_ == buffer_.size()) {
    if (at_end_) return -1;
    buffer_.resize(kChunk);
    std::size_t got = 0;
    if (int code = os::read_file(handle_, buffer_.data(), buffer_.size(), &got)) fail(code, where);
    buffer_.resize(got);
    read_pos_ = 0;
    if (got == 0) {
      at_end_ = true;
      return -1;
    }
  }
  return static_cast<unsigned char>(buffer_[read_pos_++]);
}

void TextFile::flush(Where where) {
  if (buffer_.empty()) return;
  int code = os::write_file(handle_, buffer_.data(), buffer_.size());
  buffer_.clear();
  if (code) fail(code, where);
}

void TextFile::close(Where where) {
  if (!reading_) flush(where);
  buffer_.clear();
  read_pos_ = 0;
  at_end_ = false;
  os::Handle handle = handle_;
  handle_ = -1;
  if (int code = os::close_file(handle)) fail(code, where);
}

}  // namespace kelvaro
