/* The planted DLL's sign: a named event, this text followed by the decimal id
   of the process that loaded the DLL. */
#pragma once

static const char kPlantedDllSign[] = "zarv-planted-dll-ran-";
