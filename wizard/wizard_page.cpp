// CWizardPage: the picture and the page's ending.
#include "wizard/wizard_page.h"

#include "resources/zembra_wizard_res.h"
#include "winui/app.h"

CWizardPage::~CWizardPage() {
    if (picture_) ::DeleteObject(picture_);
}

bool CWizardPage::OnInitDialog() {
    if (!picture_)
        picture_ = static_cast<HBITMAP>(::LoadImageA(winui::App::Instance(), MAKEINTRESOURCEA(IDB_WIZARD_PICTURE),
                                                     IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    return Dialog::OnInitDialog();
}

bool CWizardPage::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg != WM_PAINT) return false;
    PaintPicture();
    result = 0;
    return true;
}

void CWizardPage::PaintPicture() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd_, &ps);
    HWND place = Item(IDC_WIZ_PICTURE);
    if (dc && picture_ && place) {
        RECT r;
        ::GetWindowRect(place, &r);
        ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        BITMAP bm{};
        ::GetObjectA(picture_, sizeof bm, &bm);
        HDC mem = ::CreateCompatibleDC(dc);
        HGDIOBJ old = ::SelectObject(mem, picture_);
        ::SetStretchBltMode(dc, HALFTONE);
        ::SetBrushOrgEx(dc, 0, 0, nullptr);
        ::StretchBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, mem, 0, 0, bm.bmWidth, bm.bmHeight,
                     SRCCOPY);
        ::SelectObject(mem, old);
        ::DeleteDC(mem);
    }
    ::EndPaint(hwnd_, &ps);
}

bool CWizardPage::EndWith(int next) {
    if (!UpdateData(true)) return false;
    EndDialog(next);
    return true;
}
