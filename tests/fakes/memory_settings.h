// A profile in memory for the tests, its values keyed "Section/Key". It can be made to refuse
// writes (a read-only Windows folder) and counts the writes it is asked for.
#pragma once

#include <map>
#include <string>

#include "platform/settings.h"

class MemorySettings : public ISettings {
public:
    std::map<std::string, std::string> values;
    bool refuseWrites = false;
    int writes = 0;

    std::string GetString(const std::string& s, const std::string& k, const std::string& fallback) override {
        auto it = values.find(s + "/" + k);
        return it == values.end() ? fallback : it->second;
    }
    int GetInt(const std::string& s, const std::string& k, int fallback) override {
        auto it = values.find(s + "/" + k);
        return it == values.end() ? fallback : std::stoi(it->second);
    }
    bool WriteString(const std::string& s, const std::string& k, const std::string& v) override {
        ++writes;
        if (refuseWrites) return false;
        values[s + "/" + k] = v;
        return true;
    }
    bool WriteInt(const std::string& s, const std::string& k, int v) override {
        return WriteString(s, k, std::to_string(v));
    }
};
