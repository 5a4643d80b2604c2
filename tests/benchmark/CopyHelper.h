#pragma once
// A small program that makes one registration copy in a process of its own,
// for the whole-process figure and the peak memory of a fresh process:
//
//   registration_copy_helper [--program | --bare] {source} {filter} {target}
//
// --program copies with AddFilterToCategory, --bare with the bare registry
// calls. The exit code is the peak memory the copy added, in KiB, or
// kCopyHelperFailed.

#include <windows.h>

const wchar_t kCopyHelperProgram[] = L"registration_copy_helper.exe";
const wchar_t kCopyHelperMode[] = L"--program";
const wchar_t kBareCopyHelperMode[] = L"--bare";
const DWORD kCopyHelperFailed = 0xFFFFFFFF;
