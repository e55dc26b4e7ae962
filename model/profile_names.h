// The main program's registry profile, HKCU\Software\<kZmRegistryKey>\<kZmAppName>: the
// application, the main form and the tests open the same one.
#pragma once

constexpr const char* kZmRegistryKey = "Local AppWizard-Generated Applications";
constexpr const char* kZmAppName = "Zembra";
