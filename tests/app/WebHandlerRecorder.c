// Stands in for the web browser: registered as the handler of web addresses,
// it records who started it and with what, then ends. Its command line is the
// file to write and the address; the file holds the image name of the process
// that started it, then the address, a line each. It is written whole under
// another name first, so that a reader never sees half of it.
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>
#include <tlhelp32.h>

// The entry of the process whose id is `id`, or false.
static BOOL FindProcess(DWORD id, PROCESSENTRY32* entry)
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    BOOL more = Process32First(snapshot, entry);
    while (more && entry->th32ProcessID != id)
        more = Process32Next(snapshot, entry);
    CloseHandle(snapshot);
    return more;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    PROCESSENTRY32 entry = {.dwSize = sizeof entry};
    char partial[MAX_PATH + 8];
    FILE* record;
    (void)instance, (void)previous, (void)commandLine, (void)show;
    if (__argc != 3 || !FindProcess(GetCurrentProcessId(), &entry) ||
        !FindProcess(entry.th32ParentProcessID, &entry))
        return 2;
    snprintf(partial, sizeof partial, "%s.part", __argv[1]);
    if (!(record = fopen(partial, "w")))
        return 1;
    fprintf(record, "%s\n%s\n", entry.szExeFile, __argv[2]);
    fclose(record);
    return MoveFileExA(partial, __argv[1], MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
