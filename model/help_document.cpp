// CHelpDocument: a small reader for the help's own HTML (headings, paragraphs, lists, tables,
// inline markup). It is not a browser: it keeps the words and the paragraph breaks.
#include "model/help_document.h"

#include <cstdlib>


namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// Tag and attribute names are ASCII; other bytes are left alone.
std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The value of an attribute in a tag's inside ("h2 id=\"main\" class=x"); "" when absent.
std::string Attribute(const std::string& tag, const std::string& name) {
    std::string lower = Lower(tag);
    for (size_t at = lower.find(name); at != std::string::npos; at = lower.find(name, at + 1)) {
        if (at == 0 || !IsSpace(lower[at - 1])) continue;
        size_t i = at + name.size();
        while (i < tag.size() && IsSpace(tag[i])) ++i;
        if (i >= tag.size() || tag[i] != '=') continue;
        ++i;
        while (i < tag.size() && IsSpace(tag[i])) ++i;
        if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
            size_t end = tag.find(tag[i], i + 1);
            return tag.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
        }
        size_t end = i;
        while (end < tag.size() && !IsSpace(tag[end]) && tag[end] != '>') ++end;
        return tag.substr(i, end - i);
    }
    return std::string();
}

// The character an entity at html[at] ('&') stands for; `at` moves past it. A text that is no
// known entity stays as written.
std::string Entity(const std::string& html, size_t& at) {
    size_t end = html.find(';', at);
    if (end == std::string::npos || end - at > 10) {
        ++at;
        return "&";
    }
    std::string name = html.substr(at + 1, end - at - 1);
    std::string out;
    if (name == "amp") out = "&";
    else if (name == "lt") out = "<";
    else if (name == "gt") out = ">";
    else if (name == "quot") out = "\"";
    else if (name == "apos") out = "'";
    else if (name == "nbsp") out = " ";
    else if (name.size() > 1 && name[0] == '#') {
        bool hex = name[1] == 'x' || name[1] == 'X';
        char* stop = nullptr;
        long code = std::strtol(name.c_str() + (hex ? 2 : 1), &stop, hex ? 16 : 10);
        // The file and the window are single-byte: a character beyond it shows as '?'.
        if (stop && *stop == '\0' && code > 0) out = code < 256 ? std::string(1, static_cast<char>(code)) : "?";
    }
    if (out.empty()) {
        ++at;
        return "&";
    }
    at = end + 1;
    return out;
}

// Collects words with single spaces between them and the line breaks asked for.
class TextSink {
public:
    explicit TextSink(std::string& out) : out_(&out) {}
    void Retarget(std::string& out) {
        out_ = &out;
        space_ = false;
    }
    void Space() { space_ = true; }
    void Put(const std::string& text) {
        if (space_ && !out_->empty() && !AtLineStart()) *out_ += ' ';
        space_ = false;
        *out_ += text;
    }
    // Ends the current line, and leaves `lines` - 1 empty lines after it (none at the start).
    void Break(int lines) {
        space_ = false;
        while (!out_->empty() && out_->back() == ' ') out_->pop_back();
        if (out_->empty()) return;
        int have = 0;
        for (size_t i = out_->size(); i >= 2 && out_->compare(i - 2, 2, "\r\n") == 0; i -= 2) ++have;
        for (; have < lines; ++have) *out_ += "\r\n";
    }
    bool AtLineStart() const { return out_->size() >= 2 && out_->compare(out_->size() - 2, 2, "\r\n") == 0; }

private:
    std::string* out_;
    bool space_ = false;
};

void TrimEnd(std::string& text) {
    while (!text.empty() && IsSpace(text.back())) text.pop_back();
}

}  // namespace

bool CHelpDocument::Parse(const std::string& html) {
    topics_.clear();
    std::string discard, title;
    TextSink sink(discard);
    std::vector<int> lists;  // per open list: 0 for bullets, else the next number
    int skipping = 0;        // inside <head>, <style> or <script>
    int headingLevel = 0;    // inside a heading that starts a topic
    bool inNav = false, rowHasText = false, cellPending = false;

    for (size_t at = 0; at < html.size();) {
        char c = html[at];
        if (c == '<') {
            if (html.compare(at, 4, "<!--") == 0) {
                size_t end = html.find("-->", at + 4);
                at = end == std::string::npos ? html.size() : end + 3;
                continue;
            }
            size_t end = html.find('>', at);
            if (end == std::string::npos) break;
            std::string inside = html.substr(at + 1, end - at - 1);
            at = end + 1;
            bool closing = !inside.empty() && inside[0] == '/';
            size_t nameEnd = closing ? 1 : 0;
            while (nameEnd < inside.size() && !IsSpace(inside[nameEnd]) && inside[nameEnd] != '/') ++nameEnd;
            std::string name = Lower(inside.substr(closing ? 1 : 0, nameEnd - (closing ? 1 : 0)));

            if (name == "head" || name == "style" || name == "script") {
                skipping += closing ? -1 : 1;
                if (skipping < 0) skipping = 0;
                continue;
            }
            if (skipping) continue;
            if (name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6') {
                std::string id = closing ? std::string() : Attribute(inside, "id");
                if (!closing && !id.empty()) {
                    HelpTopic topic;
                    topic.anchor = id;
                    topic.level = name[1] - '0' > 3 ? 3 : name[1] - '0';
                    topics_.push_back(topic);
                    headingLevel = name[1] - '0';
                    sink.Retarget(topics_.back().title);
                } else if (closing && headingLevel == name[1] - '0') {
                    headingLevel = 0;
                    TrimEnd(topics_.back().title);
                    sink.Retarget(topics_.back().text);
                } else {
                    sink.Break(2);  // a heading without an id: a line of its own in its topic
                }
                continue;
            }
            if (name == "p" || name == "div" || name == "table") {
                sink.Break(2);
            } else if (name == "br") {
                sink.Break(1);
            } else if (name == "ul" || name == "ol") {
                sink.Break(closing ? 2 : 1);
                if (closing && !lists.empty()) lists.pop_back();
                else if (!closing) lists.push_back(name == "ol" ? 1 : 0);
            } else if (name == "li" && !closing) {
                sink.Break(1);
                if (!lists.empty() && lists.back() > 0)
                    sink.Put(std::to_string(lists.back()++) + ".");
                else
                    sink.Put("-");
                sink.Space();
            } else if (name == "tr") {
                sink.Break(1);
                rowHasText = cellPending = false;
            } else if ((name == "td" || name == "th") && !closing) {
                cellPending = rowHasText;
            } else if (name == "nav") {
                inNav = !closing;
                sink.Break(2);
            } else if (name == "a" && !closing && inNav) {
                sink.Break(1);
            }
            continue;
        }
        if (skipping) {
            ++at;
            continue;
        }
        if (IsSpace(c)) {
            sink.Space();
            ++at;
            continue;
        }
        std::string piece = c == '&' ? Entity(html, at) : std::string(1, html[at++]);
        if (cellPending) {
            sink.Space();
            sink.Put("|");
            sink.Space();
            cellPending = false;
        }
        sink.Put(piece);
        rowHasText = true;
    }
    for (HelpTopic& topic : topics_) TrimEnd(topic.text);
    return !topics_.empty();
}

size_t CHelpDocument::IndexOf(const std::string& anchor) const {
    for (size_t i = 0; i < topics_.size(); ++i)
        if (topics_[i].anchor == anchor) return i;
    return 0;
}
