#pragma once

// The two settings images, where they go, and the writer that puts one there.

#include "patch/text.h"

#include <windows.h>

#include <cstdint>

struct SettingsImage {
  const char* bytes;
  std::int32_t length;
};

extern const SettingsImage PatchImage;
extern const SettingsImage RestoreImage;

extern const char SettingsFileSuffix[];  // "\System.dat"

// The directory text unchanged, then "\System.dat"; no normalising of any kind.
FreshText BuildSettingsPath(const char* directory);

// The file operations the writer needs; the base class is the real file system.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual DWORD Attributes(const char* path);
  virtual HANDLE CreateNew(const char* path);  // exclusive write access
  virtual bool Write(HANDLE file, const void* bytes, DWORD length, DWORD* written);
  virtual bool Flush(HANDLE file);
  virtual bool Close(HANDLE file);
  virtual bool Replace(const char* from, const char* to);
  virtual bool Remove(const char* path);
};

FileSystem& SystemFileSystem();

// Replaces the file at path with the image, or leaves it exactly as it was and yields false.
// An existing file that is read-only, hidden, system or a directory is refused.
bool WriteBytesToFile(const char* path, const SettingsImage& image,
                      FileSystem& files = SystemFileSystem());
