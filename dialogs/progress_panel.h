// CProgressPanel: the modeless progress window of long operations (build, mailing): animated
// caption, four text lines, a progress bar, Cancel, a message pump, and a remembered position.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/progress.h"
#include "platform/settings.h"
#include "winui/window.h"

class CProgressPanel : public IProgress, private winui::Window {
public:
    static constexpr int kCancelId = 10;
    static constexpr int kTextId = 11;
    static constexpr int kBarId = 12;
    static const char* const kClassName;
    // The main program's registry key; the window's position lives in its "Settings" section.
    static const char* const kCompany;
    static const char* const kApplication;

    CProgressPanel();
    // Creates the window at once (see Create). settings: where "X" and "Y" are kept; nullptr
    // = the main program's key. It must outlive the panel.
    CProgressPanel(HWND parent, const std::string& caption, bool smooth = false,
                   ISettings* settings = nullptr);
    ~CProgressPanel() override;

    // parent nullptr = the main window. Restores the position, shows the window. False when
    // the window or a control could not be made; every operation then does nothing.
    bool Create(HWND parent, const std::string& caption, bool smooth = false,
                ISettings* settings = nullptr);
    // Destroys the window; its position is stored (when persistent) whoever destroys it.
    void DestroyPanel();
    // Off: the window is centred and its position neither read nor written. Set before Create.
    void SetPersistentPosition(bool on) { persistent_ = on; }

    // Sets the bar's range, then puts every field back to its default (caption "Progress",
    // step 1, position 0, not cancelled): a step must be set after the range.
    void SetRange(int lower, int upper) override { SetRange(lower, upper, 1); }
    void SetRange(int lower, int upper, int step);
    int SetStep(int step) override;  // returns the previous step
    int SetPos(int pos) override;    // shows the window, animates the caption; previous bar position
    void StepIt() override;
    // The text is shown as given (a '%' in a file name is not a format).
    void SetText(const std::string& text) override;
    void SetTextFormat(const char* format, ...);
    void Show() override;
    void Hide() override;
    void PumpMessages(bool cancelOnEscape) override;
    bool Cancelled() const override { return cancelled_; }
    // What the Cancel button does: mark cancelled, hide, bring the main window to the front.
    void Cancel();

    HWND Handle() const { return winui::Window::Handle(); }
    bool Exists() const { return winui::Window::Exists(); }
    int Position() const { return position_; }
    int Step() const { return step_; }
    int Lower() const { return lower_; }
    int Upper() const { return upper_; }
    const std::string& CaptionText() const { return caption_; }

private:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void ResetFields();
    void Layout(int lines, int width);
    void RestorePosition();
    ISettings& Settings();

    HWND text_ = nullptr, bar_ = nullptr, cancelButton_ = nullptr;
    HFONT font_ = nullptr;
    bool cancelled_ = false;
    bool persistent_ = true;
    bool placed_ = false;  // the stored position was applied; only then is it written back
    int position_ = 0, step_ = 1, lower_ = 0, upper_ = 100;
    int lines_ = 4;
    std::string caption_ = "Progress";
    std::string cancelLabel_ = " Cancel ";
    ISettings* settings_ = nullptr;
    std::unique_ptr<ISettings> ownSettings_;
};
