// Replacing a program of the installation with a downloaded one.
#pragma once

#include <string>

#include "Streams.h"

// Whether the bytes are a whole Windows program: the DOS header "MZ", whose field at 0x3C is the
// offset of the "PE\0\0" signature, and a file that reaches the end its headers give (theirs and
// the last section's data). An error page sent as a success is not, nor a program cut short.
bool IsWindowsProgram(const TMemoryStream& file);

// Writes the program beside fileName first and moves it over fileName only when it is whole, so
// a failed write never leaves a broken program behind. Raises when it cannot.
void InstallProgram(const TMemoryStream& program, const std::string& fileName);
