/* A DLL such as someone could save beside the program in a download folder.
   Loaded into a process, it leaves a sign there: a named event, kept open
   while the process lives, whose name carries the process's id. */
#include <stdio.h>
#include <windows.h>

#include "PlantedDll.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    char name[sizeof kPlantedDllSign + 16];
    (void)instance;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH)
    {
        snprintf(name, sizeof name, "%s%lu", kPlantedDllSign, GetCurrentProcessId());
        CreateEventA(NULL, TRUE, TRUE, name);
    }
    return TRUE;
}
