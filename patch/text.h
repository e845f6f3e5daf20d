#pragma once

// Texts are NUL-terminated bytes in the ANSI code page (936 for this program); a null
// text counts as the empty text.

#include <cstddef>
#include <initializer_list>
#include <memory>

struct TextRelease {
  void operator()(char* text) const noexcept;
};

// A text allocated for its caller, who releases it right after its last use.
using FreshText = std::unique_ptr<char[], TextRelease>;

// Byte count before the first NUL; 0 for a null text.
std::size_t TextLength(const char* text);

// Never null: when memory cannot be had the process reports it and exits with -1.
FreshText AllocateText(std::size_t bytes);

// The program's operator new and new[] end the program the same way instead of throwing.

// The bytes of all texts in order, then one NUL, in a single allocation.
FreshText JoinTexts(std::initializer_list<const char*> texts);

inline bool IsEmptyText(const char* text) {
  return text == nullptr || text[0] == '\0';
}
