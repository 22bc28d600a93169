// A script runner for dialogue tests, and the file helpers that such tests share.
#include "testing/recording_runner.hpp"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace kelvaro {

RecordingRunner::RecordingRunner(std::function<void(const std::string& name)> effect)
    : effect_(std::move(effect)) {}

void RecordingRunner::run(const std::string& name) {
  runs.push_back({name, read_file(name)});
  if (effect_) {
    effect_(name);
  } else {
    std::filesystem::remove(name);
  }
}

std::string read_file(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void write_file(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool file_exists(const std::string& name) {
  std::error_code ignored;
  return std::filesystem::exists(name, ignored);
}

void make_read_only(const std::string& name) {
  std::filesystem::permissions(name,
                               std::filesystem::perms::owner_write |
                                   std::filesystem::perms::group_write |
                                   std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove);
}

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  auto base = std::filesystem::temp_directory_path();
  for (;;) {
    auto candidate =
        base / ("kelvaro-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate.string();
      break;
    }
  }
  previous_ = std::filesystem::current_path().string();
  std::filesystem::current_path(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
  for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
  }
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace kelvaro
