#pragma once
// Text: WideCharToMultiByte for the ANSI code page (Windows-1252, one byte a character),
// CharLowerBuffW / CharUpperBuffW, and the C runtime's character classes over UTF-16
// code units (iswctype with C1_SPACE or C1_DIGIT).
#include "platform/Types.h"

constexpr UINT CP_ACP = 0;
constexpr DWORD WC_COMPOSITECHECK = 0x200;
constexpr DWORD ERROR_NO_UNICODE_TRANSLATION = 1113;

// Source length -1 means up to and including the terminating zero; a destination size of
// 0 asks for the needed size. A character the code page cannot represent fails the call
// (ERROR_NO_UNICODE_TRANSLATION). With WC_COMPOSITECHECK a letter followed by a combining
// accent is written as the precomposed letter when the code page has it.
int WideCharToMultiByte(UINT code_page, DWORD flags, LPCWSTR source, int source_length, LPSTR destination,
                        int destination_size, LPCSTR default_char, BOOL* used_default_char);

// Convert in place; surrogates and characters without a single-unit mapping stay as they are.
DWORD CharLowerBuffW(LPWSTR text, DWORD length);
DWORD CharUpperBuffW(LPWSTR text, DWORD length);

constexpr WORD C1_DIGIT = 0x0004;
constexpr WORD C1_SPACE = 0x0008;

// Non-zero when the code unit is in one of the classes. Digits are '0'-'9' only, so a
// digit's value is always c - '0'.
int iswctype(WCHAR c, WORD classes);
