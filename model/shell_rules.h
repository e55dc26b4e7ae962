// Rules of the shell's dialogs that need no window: trimming, the options checks, the folder the
// chooser returns and the New Dir folder it makes.
#pragma once

#include <string>

class IFileSystem;

// The options dialog's OK: "" when the values may be stored, else the message to show.
// first is trimmed in place. Work-directory mode needs an existing folder.
std::string CheckOptions(bool emailMode, std::string& first, IFileSystem& files);

// The folder part of the path the old-style open dialog returns for its dummy file name: cut at
// the last backslash, which goes too ("C:\Sets\Junk" -> "C:\Sets", "C:\Junk" -> "C:").
std::string FolderOfDummyPath(const std::string& path);

// The chosen folder joined with the name given to New Dir (a backslash between them, once).
std::string NewFolderPath(const std::string& folder, const std::string& name);
// Makes the New Dir folder (one level) unless it exists. False when it does not exist after.
bool MakeNewFolder(const std::string& path, IFileSystem& files);
