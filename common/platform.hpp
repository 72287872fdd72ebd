#pragma once

// What the plug-in's binary format asks of the code, in one place.

#ifdef _WIN32
// Pd finds a class by calling its set-up entry by name: a DLL exports it by
// name and nothing else.
#define RINGCUBE_EXPORT extern "C" __declspec(dllexport)
// A DLL calls its own routines directly.
#define RINGCUBE_INTERNE
#else
// The plug-in is built hidden; the set-up entry stays visible.
#define RINGCUBE_EXPORT extern "C" __attribute__((visibility("default")))
// Declared hidden, a routine of the plug-in is called directly, not through
// the procedure linkage table.
#define RINGCUBE_INTERNE __attribute__((visibility("hidden")))
#endif
