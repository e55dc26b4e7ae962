// Control-to-topic tables of the main form's context help.
#include "model/help_topics.h"

const HelpIdPair kFrameHelpIds[] = {
    {1011, 20},  // maximum size entry
    {1012, 40},  // save-to-location combo
    {1026, 39},  // profile (preset) combo
    {1019, 15},  // show-files entry
    {1006, 36},  // Add
    {1007, 37},  // Remove
    {1014, 7},   // split set name
    {1005, 16},  // files to split
    {1004, 41},  // file list
    {1003, 35},  // drives and folders tree
    {1008, 38},  // Begin Split
    {1038, 23},  // Review Results
    {1018, 32},  // Email
    {0, 0},
};

const HelpIdPair kViewHelpIds[] = {
    {1011, 20}, {1012, 40}, {1026, 39}, {1019, 15}, {1006, 8},  {1007, 19}, {1014, 7},
    {1005, 16}, {1004, 41}, {1003, 35}, {1008, 38}, {1038, 23}, {1018, 21}, {1067, 36},
    {0, 0},
};

unsigned long HelpTopicFor(const HelpIdPair* table, int control) {
    if (control <= 0) return 0;
    for (const HelpIdPair* p = table; p->control != 0; ++p)
        if (p->control == static_cast<unsigned long>(control)) return p->topic;
    return 0;
}

std::string HelpAnchor(unsigned long topic) { return topic == 0 ? std::string() : "topic" + std::to_string(topic); }
