// DataExchange: moves a dialog's fields into its controls or back, refusing values that don't
// fit with a message, the control focused and the dialog kept open.
#pragma once

#include <windows.h>

#include <string>

namespace winui {

class Dialog;

class DataExchange {
public:
    DataExchange(Dialog& dialog, bool save) : dialog_(dialog), save_(save) {}

    bool Saving() const { return save_; }
    // False once a value has been refused; later calls then do nothing.
    bool Ok() const { return !failed_; }
    int FailedControl() const { return failedId_; }

    // Edit or static text. maxLength > 0 also limits the edit and refuses longer text.
    bool Text(int id, std::string& value, int maxLength = 0);
    // Signed decimal integer; anything else is refused with "Please enter an integer.".
    bool Int(int id, int& value);
    // Integer within [min, max], refused with "Please enter an integer between min and max.".
    bool IntRange(int id, int& value, int min, int max);
    // Check box: BST_UNCHECKED (0), BST_CHECKED (1) or BST_INDETERMINATE (2).
    bool Check(int id, int& value);
    bool Check(int id, bool& value);
    // Radio group that starts at firstId and runs to the next control with WS_GROUP:
    // index of the checked button, -1 when none is.
    bool Radio(int firstId, int& index);
    // Selected item of a list box or combo box, -1 when none.
    bool ListIndex(int id, int& index);
    bool ComboIndex(int id, int& index);

    // Shows message, focuses the control (selecting an edit's text) and marks the exchange
    // failed. For dialog-specific rules checked inside Exchange.
    void Fail(int id, const std::string& message);

    // Parses a whole integer the way the Int field does (spaces around it allowed).
    static bool ParseInt(const std::string& text, int& value);

private:
    HWND Control(int id) const;

    Dialog& dialog_;
    bool save_;
    bool failed_ = false;
    int failedId_ = 0;
};

}  // namespace winui
