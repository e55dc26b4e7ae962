// CHelpWindow: the help shown in a window of the program's own, for a system where nothing opens
// the HTML help (no browser, or none registered): the topics on the left, the chosen topic's
// text on the right. One per program; asking again brings it forward at the new topic.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "model/help_document.h"
#include "winui/window.h"

class CHelpWindow : public winui::Window {
public:
    static constexpr const char* kClassName = "ZembraHelpWindow";

    // Shows the help read from htmlPath at the topic with that anchor ("" = the contents).
    // False, with the cause in `why`, when the file cannot be read, holds no topics, or the
    // window cannot be made.
    static bool Open(const std::string& htmlPath, const std::string& anchor, std::string& why);
    // The open help window, or nullptr.
    static CHelpWindow* Current();

    void ShowTopic(size_t index);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnFinalDestroy() override;

private:
    explicit CHelpWindow(CHelpDocument document) : document_(std::move(document)) {}
    bool Make();
    void Layout();

    CHelpDocument document_;
    HWND topics_ = nullptr;
    HWND text_ = nullptr;
    HFONT font_ = nullptr;
};
