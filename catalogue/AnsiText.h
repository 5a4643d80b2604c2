#pragma once
// Wide (UTF-16) text to 8-bit text in the ANSI code page of the calling thread.

#include <string>

// Converts the whole of `wide`, up to its terminating zero, into `text`; a null
// string gives empty text. Characters the code page lacks get the platform's
// default replacement. False only when memory runs out.
bool ToThreadAnsiText(const wchar_t* wide, std::string& text) noexcept;
