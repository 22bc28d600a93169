// A script runner for dialogue tests that records each script as it was when it ran.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "scripts/runscript.hpp"

namespace kelvaro {

class RecordingRunner : public ScriptRunner {
 public:
  struct Run {
    std::string name;
    std::string bytes;  // the script file's content when it was run
  };

  // Without an effect, a run only deletes the script, as its last line would.
  explicit RecordingRunner(std::function<void(const std::string& name)> effect = nullptr);
  void run(const std::string& name) override;

  std::vector<Run> runs;

 private:
  std::function<void(const std::string& name)> effect_;
};

// The bytes of a file in the working directory, or "<missing>".
std::string read_file(const std::string& name);
// Writes a file in the working directory byte for byte.
void write_file(const std::string& name, const std::string& bytes);
bool file_exists(const std::string& name);
// Takes every write bit away: read-only, as the Windows attribute is.
void make_read_only(const std::string& name);

// A fresh temporary folder made the working directory for the life of the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::string previous_;
};

}  // namespace kelvaro
