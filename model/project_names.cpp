// New's numbering.
#include "model/project_names.h"

#include <cstdlib>

#include "platform/path_text.h"

namespace project_names {

std::string NextSetName(IFileSystem& fs, const std::string& folder, const std::string& current) {
    size_t digits = current.size();
    while (digits > 0 && current[digits - 1] >= '0' && current[digits - 1] <= '9') --digits;
    std::string base = current.substr(0, digits);
    std::string run = current.substr(digits);
    // A run too long for a number is past the limit anyway: no free number follows it.
    long number = run.empty() ? 0 : (run.size() > 4 ? kNameLimit : std::strtol(run.c_str(), nullptr, 10));
    std::string where = WithBackslash(folder);
    for (long k = number + 1; k < kNameLimit; ++k) {
        std::string name = base + std::to_string(k);
        if (!fs.Exists(where + name + ".spj")) return name;
    }
    return "Untitled";
}

}  // namespace project_names
