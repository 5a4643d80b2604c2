#pragma once
// A small program that makes one registration copy in a process of its own,
// for the whole-process figure and the peak memory of a fresh process:
//
//   registration_copy_helper [--program | --bare | --platform-read] {source} {filter} {target}
//
// --program copies with AddFilterToCategory, --bare with the bare registry
// calls; --platform-read copies nothing and only reads the large value into a
// buffer that exists already, which shows what the platform's read needs of
// its own. The exit code is the peak memory added, in KiB, or
// kCopyHelperFailed.

#include <windows.h>

const wchar_t kCopyHelperProgram[] = L"registration_copy_helper.exe";
const wchar_t kCopyHelperMode[] = L"--program";
const wchar_t kBareCopyHelperMode[] = L"--bare";
const wchar_t kPlatformReadHelperMode[] = L"--platform-read";
const DWORD kCopyHelperFailed = 0xFFFFFFFF;
