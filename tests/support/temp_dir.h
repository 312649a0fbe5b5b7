// temp_dir.h: a private, self-deleting directory for tests that need real
// files (settings.txt, assets, screenshots).
#pragma once

#include <string>
#include <string_view>

namespace vel::test {

class TempDir {
 public:
  TempDir();   // a fresh directory under the test's temporary folder
  ~TempDir();  // removes it with everything inside
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string file(std::string_view name) const;
  // Writes bytes exactly as given (no newline translation); returns the path.
  std::string write(std::string_view name, std::string_view bytes) const;

 private:
  std::string path_;
};

}  // namespace vel::test
