// Makes a symbolic link, as another program of the user could plant one.
#pragma once
#include <string>

// A link at link to target, a file or a folder; false when none could be made. On
// Windows, where the system refuses or only pretends (Wine), a link of the host system
// under Wine, which the Windows side sees through.
bool MakeLink(const std::u16string& link, const std::u16string& target);

// A second name for an existing file (a hard link): the file's content stays readable by
// it after the first name is deleted. False when none could be made.
bool MakeHardLink(const std::u16string& link, const std::u16string& target);
