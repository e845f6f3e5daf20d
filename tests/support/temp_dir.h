#pragma once

// Real files under Wine's temp folder, one fresh directory per test.

#include <optional>
#include <string>
#include <vector>

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// The whole content of a file, or nothing when it cannot be opened.
std::optional<std::string> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// Names in a directory, without "." and "..", sorted.
std::vector<std::string> ListDirectory(const std::string& path);
void RemoveTree(const std::string& path);
