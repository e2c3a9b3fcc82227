#pragma once
// For test programs built into a folder of their own (bin/alone), away from the stand-ins beside
// the other programs: copies of the build's files put beside them for a while, and removed again.
#include <windows.h>

#include <string>

// The folder the other programs of the build are in (the parent of this program's), with its
// trailing backslash.
std::string BuiltFolder();

// Whether this program runs from a folder of its own (not beside the build's other programs).
bool InAloneFolder();

// Copies a file of the build (a name in BuiltFolder) to a full path; true when it is there.
bool CopyBuiltFileTo(const char* builtName, const std::string& target);
// Copies a file of the build beside this program under another name.
bool CopyBuiltFile(const char* builtName, const char* nameBesideProgram);

// Deletes a file, waiting up to a few seconds while a process that used it still holds it; true
// when it is gone.
bool RemoveFile(const std::string& path);
bool RemoveFromProgramFolder(const char* name);
