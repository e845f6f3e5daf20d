#include "tests/support/temp_dir.h"

#include "base/unique_any.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

TempDir::TempDir() {
  static int counter = 0;
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  path_ = std::string(base) + "hdpatch-test-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(++counter);
  RemoveTree(path_);
  if (!CreateDirectoryA(path_.c_str(), nullptr)) throw std::runtime_error("no temp dir");
}

TempDir::~TempDir() {
  RemoveTree(path_);
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
  unique_hfile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  unique_hfile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (!file ||
      !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
    throw std::runtime_error("cannot write " + path);
  }
}

std::vector<std::string> ListDirectory(const std::string& path) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  unique_hfind search(FindFirstFileA((path + "\\*").c_str(), &found));
  if (!search) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search.get(), &found));
  std::sort(names.begin(), names.end());
  return names;
}

void RemoveTree(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    for (const std::string& name : ListDirectory(path)) RemoveTree(path + "\\" + name);
    RemoveDirectoryA(path.c_str());
  } else {
    DeleteFileA(path.c_str());
  }
}
