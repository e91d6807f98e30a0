#pragma once
// The skin archive that a program carries in its own resources, handed to the
// framework for the life of the process.

#include <windows.h>

// Finds the resource of type "ZIPRES" with that number in the framework's
// resource module (the program itself) and hands its bytes, in place, to the
// framework, which reads them until the process ends. False, with nothing
// handed over, when the resource is missing or empty.
bool SupplySkinArchive(WORD resourceId);
