// CHelpDocument: the HTML help read into its topics (one per heading with an id) as plain text,
// for the program's own help window where no browser opens the file.
#pragma once

#include <string>
#include <vector>

struct HelpTopic {
    std::string anchor;  // the heading's id: "contents", "topic20"
    std::string title;
    int level = 1;       // 1 to 3, from h1 to h3
    std::string text;    // paragraphs and list items, lines ended by CR LF
};

class CHelpDocument {
public:
    // False when the text holds no heading with an id (not the help, or not HTML at all).
    bool Parse(const std::string& html);
    const std::vector<HelpTopic>& Topics() const { return topics_; }
    // The topic with that anchor; the first topic (the contents) for "" or an anchor not there.
    size_t IndexOf(const std::string& anchor) const;

private:
    std::vector<HelpTopic> topics_;
};
