// File routines of the installer. Creation and deletion never ask and never report but
// through their result codes; the two writing routines show the error and offer to try
// again for as long as the user answers Yes.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "util/fileSystem.h"

// Creates the folder and its missing parents, top down; failures are silent.
void ForceDirs(const std::u16string& path);

// -1: no such file (a folder does not count); 0: deleted; 1: the system refused.
int DelFile(const std::u16string& name);

// 1: no such folder. 0: the folder existed and its tree was deleted as far as the
// system allows. A protected folder (a drive root, the system's and the user's known
// folders) is left whole, links are removed without being walked into, and anything
// at or below a folder of keep stays with the folders above it.
int DelDir(const std::u16string& path, const std::vector<std::u16string>& keep = {});

// 0: written; 1: an attempt failed and the user answered No to "Réessayer ?". The file
// is created new: whatever lay at name goes first (a link itself, never what it names),
// and no link may lead anywhere on its path.
int WriteBytesToFile(const std::u16string& name, const std::vector<std::uint8_t>& bytes);
// The same, the file then held open for reading, so that nobody can change or replace it
// before it is read back; after the user's No, the last attempt's error is raised.
fsys::File WriteBytesToNewFile(const std::u16string& name, const std::vector<std::uint8_t>& bytes);
// The same, with the bytes given by `write`, which writes them into the new file (in as
// many writes as it likes) and is called again for each attempt.
fsys::File WriteToNewFile(const std::u16string& name, const std::function<void(fsys::File&)>& write);
// Appends text in the ANSI code page, without byte-order mark; 0 or 1 as above. A link
// in place of the file is refused, never written through.
int AppendToFile(const std::u16string& name, std::u16string_view text);
