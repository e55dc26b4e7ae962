// Terminal prompts: messages go to stderr; questions read a line from stdin when it is a terminal.
#include "cli/terminal_prompts.h"

#include <cstdio>
#include <string>

#include "platform/console.h"

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

PromptAnswer TerminalPrompts::Show(const std::string& text, PromptButtons buttons) {
    shown_ = true;
    std::string body = Tidy(text);
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
