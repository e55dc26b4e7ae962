// Copying between two open files inside the system, without a user-space buffer, where the
// platform can (copy_file_range on Linux); elsewhere the caller copies through its own buffer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/file_system.h"

// Copies up to count bytes from the current position of from to the current position of to,
// advancing both. Returns the bytes copied; 0 when this pair cannot be copied so (or from is
// at its end) and the caller should use its buffer; -1 on an error (LastErrorText() tells).
int64_t CopyFileData(IFile& from, IFile& to, size_t count);
