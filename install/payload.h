// Unpacking of the archives that the program carries as hexadecimal text resources.
#pragma once
#include <string>

// Decodes the resource's first line, writes the archive to WorkDir + "\" + tempName +
// ".zip", extracts every entry into destination and deletes the temporary file. Any
// failure of the resource, the archive or an entry throws AppError; the temporary file
// then stays. An archive that could not be written (the user gave up retrying) ends it
// with the write's error: whatever lies at that path is never opened. The text is
// decoded into the file in blocks and the reader streams, so that the memory it takes
// does not grow with the payload; should the system lack even that, the error says so
// in French.
void ExtractPayload(const std::u16string& resourceName, const std::u16string& tempName,
                    const std::u16string& destination);
