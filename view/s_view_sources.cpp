// CSView: the folder tree, the file list and the "Files To Split" list (add, remove, double-click).
#include <algorithm>
#include <vector>

#include "platform/text_case.h"
#include "resources/zembra_view_res.h"
#include "view/s_view.h"

namespace {

const char kNoSize[] = "Selected file has no size.\nCannot be added to archive.";

std::string LastComponent(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && p.back() == '\\') p.pop_back();
    size_t slash = p.rfind('\\');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

}  // namespace

void CSView::RefillFileList() {
    if (!fileList_.Exists() || !folderTree_.Exists()) return;
    // Only the filter is read here: a half-typed size must not raise its message on every click.
    fileFilter = ItemText(IDC_SHOW_FILES);
    FolderRecord* node = folderTree_.Record(folderTree_.Selected());
    if (!node) {
        fileList_.Clear();
        return;
    }
    ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    fileList_.Fill(*node, fileFilter.empty() ? std::string("*.*") : fileFilter);
}

bool CSView::AppendSource(const std::string& path) {
    switch (AddSource(path)) {
    case SourceAdd::Added:
        return true;
    case SourceAdd::NoSize:
        prompts_.Message(kNoSize);
        return false;
    default:  // already listed, or an empty folder: nothing to add and nothing to say
        return false;
    }
}

void CSView::OnAdd() {
    if (!fileList_.Exists()) return;
    for (int index = ListView_GetNextItem(fileList_.Handle(), -1, LVNI_SELECTED); index >= 0;
         index = ListView_GetNextItem(fileList_.Handle(), index, LVNI_SELECTED)) {
        std::string path = fileList_.FullPath(index, false);
        if (!path.empty()) AppendSource(path);
    }
}

void CSView::OnFileListDoubleClick(const NMITEMACTIVATE* click) {
    // The list tells where the click was (client coordinates); the item is the one under it.
    int index = fileList_.HitTest(click->ptAction);
    if (index < 0) return;
    FolderRecord* record = fileList_.Record(index);
    std::string path = fileList_.FullPath(index, true);
    if (!record || path.empty() || sources_.Contains(path)) return;
    uint32_t attributes = 0;
    if (!SystemFileSystem().GetAttributes(path, attributes)) return;
    if (!(attributes & kAttrFolder)) {
        // A file goes in as Add takes it (an empty one too, with size 0).
        AppendSource(path);
        return;
    }
    // A folder opens in the tree, below the node whose contents the list shows.
    HTREEITEM parent = folderTree_.Selected();
    if (!parent) return;
    TreeView_Expand(folderTree_.Handle(), parent, TVE_EXPAND);
    TreeView_EnsureVisible(folderTree_.Handle(), parent);
    const std::string wanted = UpperCase(LastComponent(path));
    HTREEITEM byName = nullptr, byId = nullptr;
    for (HTREEITEM child = TreeView_GetChild(folderTree_.Handle(), parent); child && !byId;
         child = TreeView_GetNextSibling(folderTree_.Handle(), child)) {
        FolderRecord* node = folderTree_.Record(child);
        if (node && SameShellItem(node->absolute, record->absolute)) byId = child;
        if (!byName && UpperCase(folderTree_.ItemText(child)) == wanted) byName = child;
    }
    HTREEITEM target = byId ? byId : byName;
    if (target) TreeView_SelectItem(folderTree_.Handle(), target);  // refills the list
}

void CSView::RemoveSourceAt(int index) {
    if (sourcesBox_.GetItemText(index).empty()) return;
    sourcesBox_.DeleteString(index);
    sources_.RemoveAt(static_cast<size_t>(index));
    SetButtonStates(true);
    RefreshStatusText();
}

void CSView::OnRemove() {
    int count = static_cast<int>(sourcesBox_.Send(LB_GETSELCOUNT));
    if (count <= 0) return;
    std::vector<int> selected(static_cast<size_t>(count));
    count = static_cast<int>(sourcesBox_.Send(LB_GETSELITEMS, static_cast<WPARAM>(count),
                                              reinterpret_cast<LPARAM>(selected.data())));
    if (count <= 0) return;
    selected.resize(static_cast<size_t>(count));
    // From the last to the first, so the indexes still to come stay valid.
    std::sort(selected.begin(), selected.end());
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) RemoveSourceAt(*it);
}

void CSView::OnSourcesDoubleClick() {
    int index = static_cast<int>(sourcesBox_.Send(LB_GETCARETINDEX));
    if (index < 0 || index >= sourcesBox_.GetCount()) return;
    RemoveSourceAt(index);
}

// The "Files To Split" list is narrow: a path too long for it shows its drive and its last
// names, with "..." for the middle, so two files of one deep folder can be told apart.
bool CSView::OnDrawItem(int id, DRAWITEMSTRUCT* item) {
    if (id != IDC_SOURCES) return false;
    if (item->itemID == static_cast<UINT>(-1)) {
        if (item->itemState & ODS_FOCUS) ::DrawFocusRect(item->hDC, &item->rcItem);
        return true;
    }
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    ::FillRect(item->hDC, &item->rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    HGDIOBJ oldFont = ::SelectObject(item->hDC, reinterpret_cast<HFONT>(sourcesBox_.Send(WM_GETFONT)));
    COLORREF oldColor = ::SetTextColor(item->hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    int oldMode = ::SetBkMode(item->hDC, TRANSPARENT);
    std::string text = sourcesBox_.GetItemText(static_cast<int>(item->itemID));
    RECT r = item->rcItem;
    r.left += 2;
    ::DrawTextA(item->hDC, text.c_str(), static_cast<int>(text.size()), &r,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_PATH_ELLIPSIS);
    ::SetBkMode(item->hDC, oldMode);
    ::SetTextColor(item->hDC, oldColor);
    ::SelectObject(item->hDC, oldFont);
    if (item->itemState & ODS_FOCUS) ::DrawFocusRect(item->hDC, &item->rcItem);
    return true;
}
