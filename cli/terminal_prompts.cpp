// Terminal prompts: messages go to stderr; questions read a line from stdin when it is a terminal.
#include "cli/terminal_prompts.h"

#include <cctype>
#include <cstdio>
#include <string>

#include "platform/console.h"
#include "platform/paths.h"

namespace {

// The engines' texts use bare line feeds; a trailing space or newline adds nothing here.
std::string Tidy(const std::string& text) {
    std::string t = text;
    std::string out;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\r') continue;
        out += t[i];
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == '\n')) out.pop_back();
    return out;
}

}  // namespace

std::string TerminalPrompts::UserPaths(const std::string& text) {
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        for (size_t i = 0; i + 2 < line.size(); ++i) {
            bool atWordStart = i == 0 || line[i - 1] == ' ' || line[i - 1] == '"' || line[i - 1] == '(';
            if (atWordStart && std::isalpha(static_cast<unsigned char>(line[i])) && line[i + 1] == ':' &&
                line[i + 2] == '\\') {
                line = line.substr(0, i) + UserPath(line.substr(i));
                break;
            }
        }
        out += line;
        if (end < text.size()) out += '\n';
        start = end + 1;
    }
    return out;
}

PromptAnswer TerminalPrompts::Show(const std::string& text, PromptButtons buttons) {
    shown_ = true;
    if (beforeOutput_) beforeOutput_();
    std::string body = UserPaths(Tidy(text));
    if (buttons == PromptButtons::Ok) {
        std::fprintf(stderr, "zembra-cli: %s\n", body.c_str());
        return PromptAnswer::Ok;
    }
    bool yesNo = buttons == PromptButtons::YesNo;
    PromptAnswer accept = yesNo ? PromptAnswer::Yes : PromptAnswer::Ok;
    PromptAnswer refuse = yesNo ? PromptAnswer::No : PromptAnswer::Cancel;
    if (yesToAll_) {
        std::fprintf(stderr, "zembra-cli: %s\n  -> %s (--yes)\n", body.c_str(), yesNo ? "yes" : "ok");
        return accept;
    }
    if (!StdinIsTerminal()) {
        std::fprintf(stderr, "zembra-cli: %s\n  -> %s (no terminal to ask)\n", body.c_str(),
                     yesNo ? "no" : "cancel");
        return refuse;
    }
    for (;;) {
        std::fprintf(stderr, "%s\n%s ", body.c_str(), yesNo ? "[y/n]" : "[Enter = OK, c = cancel]");
        std::fflush(stderr);
        char line[64];
        if (!std::fgets(line, sizeof line, stdin)) return refuse;
        char c = line[0];
        if (yesNo) {
            if (c == 'y' || c == 'Y') return accept;
            if (c == 'n' || c == 'N') return refuse;
        } else {
            if (c == '\n' || c == 'o' || c == 'O') return accept;
            if (c == 'c' || c == 'C') return refuse;
        }
    }
}
