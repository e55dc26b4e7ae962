// Process-level services: the running module, starting programs, embedded resources.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Full path of the running program (Windows form).
std::string ModulePath();
// Folder of the running program, with a trailing backslash.
std::string ModuleFolder();

// Starts a program without waiting for it. commandLine is the whole line, program first.
// Returns false (LastErrorText() of the file system tells why) when it could not start.
bool StartProcess(const std::string& commandLine, const std::string& workFolder = std::string());

// Bytes of a resource of the running program (type by name, id by number). False when the
// resource is missing; always false where programs carry no resources (POSIX).
bool LoadModuleResource(const char* type, int id, std::vector<uint8_t>& bytes);
