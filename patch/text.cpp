#include "patch/text.h"

#include "patch/messages.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

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
