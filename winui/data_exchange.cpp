// DataExchange: field <-> control transfers and the refusal messages.
#include "winui/data_exchange.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "winui/dialog.h"

namespace winui {

HWND DataExchange::Control(int id) const { return dialog_.Item(id); }

void DataExchange::Fail(int id, const std::string& message) {
    if (failed_) return;
    failed_ = true;
    failedId_ = id;
    dialog_.Prompts().Message(message);
    HWND control = Control(id);
    if (!control) return;
    ::SetFocus(control);
    char cls[16] = "";
    ::GetClassNameA(control, cls, sizeof cls);
    if (lstrcmpiA(cls, "Edit") == 0) ::SendMessageA(control, EM_SETSEL, 0, -1);
}

bool DataExchange::ParseInt(const std::string& text, int& value) {
    const char* p = text.c_str();
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == '\0') return false;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(p, &end, 10);
    if (end == p || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != '\0') return false;
    value = static_cast<int>(v);
    return true;
}

bool DataExchange::Text(int id, std::string& value, int maxLength) {
    if (failed_) return false;
    HWND control = Control(id);
    if (!control) return true;  // a control hidden by a mode is simply not there
    if (!save_) {
        if (maxLength > 0) ::SendMessageA(control, EM_LIMITTEXT, maxLength, 0);
        ::SetWindowTextA(control, value.c_str());
        return true;
    }
    std::string text = dialog_.ItemText(id);
    if (maxLength > 0 && text.size() > static_cast<size_t>(maxLength)) {
        Fail(id, "Please enter no more than " + std::to_string(maxLength) + " characters.");
        return false;
    }
    value = text;
    return true;
}

bool DataExchange::Int(int id, int& value) {
    if (failed_) return false;
    if (!Control(id)) return true;
    if (!save_) {
        ::SetDlgItemTextA(dialog_.Handle(), id, std::to_string(value).c_str());
        return true;
    }
    int parsed = 0;
    if (!ParseInt(dialog_.ItemText(id), parsed)) {
        Fail(id, "Please enter an integer.");
        return false;
    }
    value = parsed;
    return true;
}

bool DataExchange::IntRange(int id, int& value, int min, int max) {
    if (!save_) return Int(id, value);
    int parsed = value;
    if (!Int(id, parsed)) return false;
    if (parsed < min || parsed > max) {
        Fail(id, "Please enter an integer between " + std::to_string(min) + " and " +
                     std::to_string(max) + ".");
        return false;
    }
    value = parsed;
    return true;
}

bool DataExchange::Check(int id, int& value) {
    if (failed_) return false;
    if (save_)
        value = static_cast<int>(::IsDlgButtonChecked(dialog_.Handle(), id));
    else
        ::CheckDlgButton(dialog_.Handle(), id, static_cast<UINT>(value));
    return true;
}

bool DataExchange::Check(int id, bool& value) {
    int state = value ? BST_CHECKED : BST_UNCHECKED;
    if (!Check(id, state)) return false;
    if (save_) value = state == BST_CHECKED;
    return true;
}

bool DataExchange::Radio(int firstId, int& index) {
    if (failed_) return false;
    HWND button = Control(firstId);
    if (save_) index = -1;
    int radio = 0;  // index among the group's radio buttons only
    for (bool first = true; button; first = false) {
        LONG_PTR style = ::GetWindowLongPtrA(button, GWL_STYLE);
        if (!first && (style & WS_GROUP)) break;
        LONG_PTR type = style & BS_TYPEMASK;
        if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
            if (save_) {
                if (::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED) index = radio;
            } else {
                ::SendMessageA(button, BM_SETCHECK, radio == index ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++radio;
        }
        button = ::GetWindow(button, GW_HWNDNEXT);
    }
    return true;
}

bool DataExchange::ListIndex(int id, int& index) {
    if (failed_) return false;
    if (save_)
        index = static_cast<int>(::SendDlgItemMessageA(dialog_.Handle(), id, LB_GETCURSEL, 0, 0));
    else
        ::SendDlgItemMessageA(dialog_.Handle(), id, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    return true;
}

bool DataExchange::ComboIndex(int id, int& index) {
    if (failed_) return false;
    if (save_)
        index = static_cast<int>(::SendDlgItemMessageA(dialog_.Handle(), id, CB_GETCURSEL, 0, 0));
    else
        ::SendDlgItemMessageA(dialog_.Handle(), id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    return true;
}

}  // namespace winui
