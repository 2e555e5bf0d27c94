// The control and the reference model registered with regsvr32 for the whole test program, and
// removed again at its end.
#pragma once

#include <string>

// True when both registrations succeeded.
bool BinariesRegistered();

// A file of the samples folder, as Windows programs name it.
std::wstring SamplePath(const wchar_t* name);
