// The program's own named data resources (RCDATA), read in place: on Windows the bytes
// stay in the mapped image; natively a file of the resource folder stands in for each
// resource and is mapped into memory.
#pragma once
#include <string>
#include <string_view>

// The bytes of the resource, valid until the process ends. Names are matched without
// regard to case. A missing resource throws AppError.
std::string_view ReadDataResource(const std::u16string& name);

// Lets the pages that hold this part of a resource leave the process's memory once it
// has been read: they stay valid, and are read again from the file if they are used
// again. A payload is read once from start to end, so that what it keeps in memory
// stays bounded whatever its size. Only whole pages inside the part are concerned.
void ReleaseDataResource(std::string_view part);

// Native build only: the folder whose files stand in for the resources, one file per
// resource named after it in upper case ("RESOURCE_1"). Ignored on Windows.
void SetDataResourceFolder(const std::u16string& folder);

// Native build only, for the fuzzer that feeds a new resource to each run: unmaps every
// resource read so far, so that the next read maps its file anew. Views of them are no
// longer valid.
void ForgetDataResources();

// The first line of a single-byte text: everything before the first CR or LF.
std::string_view FirstLine(std::string_view text);
