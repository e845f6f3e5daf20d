#include "patch/text.h"

#include "patch/messages.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// "内存不足，程序无法继续运行"
constexpr char kOutOfMemoryText[] =
    "\xC4\xDA\xB4\xE6\xB2\xBB\xD7\xE3\xA3\xAC\xB3\xCC\xD0\xF2\xCE\xDE\xB7\xA8\xBC\xCC\xD0\xF8"
    "\xD4\xCB\xD0\xD0";

[[noreturn]] void ExitOutOfMemory() {
  MessageBoxA(nullptr, kOutOfMemoryText, MessageTitle, MB_ICONERROR | MB_TASKMODAL);
  ExitProcess(static_cast<UINT>(-1));
}

}  // namespace

// The program never catches anything: an allocation that fails is reported like every
// other one, and the library's throwing allocator and its machinery stay out of the file.
void* operator new(std::size_t bytes) {
  if (void* memory = std::malloc(bytes ? bytes : 1)) return memory;
  ExitOutOfMemory();
}

void* operator new[](std::size_t bytes) {
  return operator new(bytes);
}

void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
  return std::malloc(bytes ? bytes : 1);
}

void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept {
  return std::malloc(bytes ? bytes : 1);
}

void operator delete(void* memory) noexcept {
  std::free(memory);
}

void operator delete[](void* memory) noexcept {
  std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}

void operator delete[](void* memory, std::size_t) noexcept {
  std::free(memory);
}

void TextRelease::operator()(char* text) const noexcept {
  std::free(text);
}

std::size_t TextLength(const char* text) {
  return text ? std::strlen(text) : 0;
}

FreshText AllocateText(std::size_t bytes) {
  FreshText text(static_cast<char*>(std::malloc(bytes)));
  if (!text) ExitOutOfMemory();
  return text;
}

FreshText JoinTexts(std::initializer_list<const char*> texts) {
  std::size_t total = 1;
  for (const char* text : texts) total += TextLength(text);

  FreshText joined = AllocateText(total);
  char* end = joined.get();
  for (const char* text : texts) {
    const std::size_t length = TextLength(text);
    if (length > 0) std::memcpy(end, text, length);
    end += length;
  }
  *end = '\0';
  return joined;
}
