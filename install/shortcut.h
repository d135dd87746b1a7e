// Shortcut creation. The install run calls CreateShortcut; behind it a writer that, on
// Windows, saves a shell link through COM, and that tests replace with a recorder.
#pragma once
#include <functional>
#include <string>

struct ShortcutRequest {
  std::u16string Target;
  std::u16string LinkFile;
  std::u16string Description;
  std::u16string Arguments;
  std::u16string WorkingDir;
};

// The error when the system's shell-link object cannot be had; %s is the link file.
inline constexpr char16_t ShortcutObjectUnavailable[] =
    u"Echec à la création du raccourci %s : l'objet raccourci de Windows n'est pas disponible.";

// Writes the link with the install folder as working folder. Throws AppError only when
// the shell-link object cannot be created; setter and save failures are silent.
void CreateShortcut(const std::u16string& target, const std::u16string& linkFile,
                    const std::u16string& description, const std::u16string& arguments);

// The platform's writer: a shell link on Windows; elsewhere a small text file that
// names the target, standing in for the link.
void WritePlatformShortcut(const ShortcutRequest& request);

using ShortcutWriter = std::function<void(const ShortcutRequest&)>;
// Replaces the writer (an empty one restores the platform's); returns the old one.
ShortcutWriter SetShortcutWriter(ShortcutWriter writer);
