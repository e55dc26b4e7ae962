// The help's context topics: which control of the main form leads to which topic, and the anchor
// of each topic in the HTML help. The tables are lists of (control id, topic) pairs ended by a
// pair of zeros, the shape the system's help engine takes.
#pragma once

#include <string>

struct HelpIdPair {
    unsigned long control;
    unsigned long topic;
};

// Context help command 57669 (the application's).
extern const HelpIdPair kFrameHelpIds[];
// Shift+F1 on the main form (the view's context-help message).
extern const HelpIdPair kViewHelpIds[];

// The topic of a control in a table, 0 when the control has none.
unsigned long HelpTopicFor(const HelpIdPair* table, int control);
// Anchor of a topic in the HTML help ("topic20"); "" for the contents (topic 0).
std::string HelpAnchor(unsigned long topic);
