// The mailer's progress window, behind the core's progress interface.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/progress.h"

// Creates the progress window, hidden, with the caption; never null (without a window the
// returned object does nothing).
std::unique_ptr<IProgress> CreateMailProgress(HWND owner, const char* caption);
