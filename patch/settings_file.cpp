#include "patch/settings_file.h"

#include "base/unique_any.h"

#include <array>
#include <cstddef>

namespace {

constexpr std::size_t kImageLength = 91;

// Lines 2 to 24 are the same in both images; only the value of line 1 differs.
constexpr char kSharedLines[] =
    "\r\n"
    "0\r\n0\r\n1\r\n2\r\n0\r\n1\r\n1\r\n1\r\n0.750000\r\n3\r\n1\r\n0\r\n100\r\n"
    "1\r\n71\r\n0\r\n100\r\n0.434857\r\n0\r\n0\r\n0\r\n0\r\n0\r\n";
static_assert(sizeof(kSharedLines) - 1 == kImageLength - 1);

constexpr std::array<char, kImageLength> MakeImage(char firstValue) {
  std::array<char, kImageLength> image{};
  image[0] = firstValue;
  for (std::size_t i = 1; i < kImageLength; ++i) image[i] = kSharedLines[i - 1];
  return image;
}

constexpr auto kPatchBytes = MakeImage('4');
constexpr auto kRestoreBytes = MakeImage('0');

constexpr DWORD kRefusedAttributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY |
                                     FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// The new content goes to a file of its own beside the settings file, so the final rename
// never crosses a volume. The process id keeps a leftover of a killed run from blocking
// later writes, and CREATE_NEW keeps any file of the user's from being overwritten.
FreshText TemporaryPathFor(const char* path) {
  char suffix[24];
  wsprintfA(suffix, ".%lu.tmp", GetCurrentProcessId());
  return JoinTexts({path, suffix});
}

bool WriteAll(FileSystem& files, HANDLE file, const SettingsImage& image) {
  if (image.length <= 0) return true;
  DWORD written = 0;
  const DWORD length = static_cast<DWORD>(image.length);
  return files.Write(file, image.bytes, length, &written) && written == length;
}

}  // namespace

const SettingsImage PatchImage{kPatchBytes.data(), static_cast<std::int32_t>(kImageLength)};
const SettingsImage RestoreImage{kRestoreBytes.data(), static_cast<std::int32_t>(kImageLength)};

const char SettingsFileSuffix[] = "\\System.dat";

FreshText BuildSettingsPath(const char* directory) {
  return JoinTexts({directory, SettingsFileSuffix});
}

DWORD FileSystem::Attributes(const char* path) {
  return GetFileAttributesA(path);
}

HANDLE FileSystem::CreateNew(const char* path) {
  return CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool FileSystem::Write(HANDLE file, const void* bytes, DWORD length, DWORD* written) {
  return WriteFile(file, bytes, length, written, nullptr) != FALSE;
}

bool FileSystem::Flush(HANDLE file) {
  return FlushFileBuffers(file) != FALSE;
}

bool FileSystem::Close(HANDLE file) {
  return CloseHandle(file) != FALSE;
}

bool FileSystem::Replace(const char* from, const char* to) {
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool FileSystem::Remove(const char* path) {
  return DeleteFileA(path) != FALSE;
}

FileSystem& SystemFileSystem() {
  static FileSystem files;
  return files;
}

bool WriteBytesToFile(const char* path, const SettingsImage& image, FileSystem& files) {
  if (IsEmptyText(path)) return false;

  const DWORD attributes = files.Attributes(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kRefusedAttributes)) return false;

  const FreshText temporary = TemporaryPathFor(path);
  unique_hfile file(files.CreateNew(temporary.get()));
  if (!file) return false;

  const bool written =
      WriteAll(files, file.get(), image) && files.Flush(file.get()) && files.Close(file.release());
  if (written && files.Replace(temporary.get(), path)) return true;

  file.reset();
  files.Remove(temporary.get());
  return false;
}
