// A skin's description read the way the engine first read it: written to a temporary file and
// read key by key through the platform's INI functions. The reference that the in-memory reader
// is compared with, and timed against.
#pragma once

#include "WinSkinData.h"

// The description entry of a skin file; false when the file is no container of this version
// or holds no description.
bool ExtractDescription(TMemoryStream& skinFile, std::string& description);
// Parses the skin file into data through a temporary file and the platform's functions; false
// when it holds no usable description.
bool LoadSkinThroughPlatform(TSkinData& data, TMemoryStream& skinFile);
