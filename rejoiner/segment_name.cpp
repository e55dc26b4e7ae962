// Segment naming: the number travels only in the file names, so it is parsed from them.
#include "rejoiner/segment_name.h"

std::string FolderPart(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FileNamePart(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool NextSegmentName(const std::string& path, std::string& nextName) {
    std::string name = FileNamePart(path);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    size_t underscore = name.find_last_of('_');
    if (underscore == std::string::npos) return false;
    // Leading digits only, as the set was always numbered; a bound keeps the count sane.
    const long kMostSegments = 1000000;
    long number = 0;
    size_t i = underscore + 1;
    for (; i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i) {
        number = number * 10 + (name[i] - '0');
        if (number >= kMostSegments) return false;
    }
    if (i == underscore + 1) return false;
    nextName = name.substr(0, underscore) + "_" + std::to_string(number + 1) + ".SEG";
    return true;
}
