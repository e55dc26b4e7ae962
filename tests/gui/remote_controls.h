// Tree, list view and list box controls of another process, for end-to-end tests: their item
// messages carry pointers, so the structures and texts travel through memory allocated in the
// program that owns the control.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace remote {

// The user's desktop folder, whose items are the top level of a shell folder tree.
std::string DesktopFolder();

// Text of a tree node (callback texts included: the control asks its parent).
std::string TreeItemText(HWND tree, HTREEITEM item);
// The node's children as they stand now (TVI_ROOT for the top level), without expanding it.
std::vector<HTREEITEM> TreeChildren(HWND tree, HTREEITEM parent);
// The node's child count as the control reports it (1 where it draws a button).
int TreeItemChildCount(HWND tree, HTREEITEM item);
// The child of parent (TVI_ROOT for the top level) whose text equals name, letter case aside;
// the parent is expanded first. Waits for it to appear; nullptr when it does not.
HTREEITEM FindTreeChild(HWND tree, HTREEITEM parent, const std::string& name);
// The same with a test of its own on the text (a drive's label around "C:", say).
HTREEITEM FindTreeChild(HWND tree, HTREEITEM parent, const std::function<bool(const std::string&)>& match);
// The rectangle of a node's text, in the tree's client coordinates (the node must be visible).
bool TreeItemLabelRect(HWND tree, HTREEITEM item, RECT& rect);
// Selects the node as a click would (the parent is told of the change).
bool SelectTreeItem(HWND tree, HTREEITEM item);

std::vector<std::string> ListViewTexts(HWND list);
// Selects exactly the items whose texts are given; false when one is missing.
bool SelectListViewItems(HWND list, const std::vector<std::string>& names);
// The label's rectangle of an item, in the list's client coordinates.
bool ListViewLabelRect(HWND list, int index, RECT& rect);

std::vector<std::string> ListBoxTexts(HWND box);
// Selects exactly these entries of a multiple-selection list box.
bool SelectListBoxItems(HWND box, const std::vector<int>& indexes);

// Chooses an entry of a combo box as the user would: the dialog hears CBN_SELCHANGE.
bool ChooseComboItem(HWND dialog, int id, int index);
std::vector<std::string> ComboTexts(HWND combo);

// Text of one pane of a status bar.
std::string StatusBarText(HWND bar, int pane);

}  // namespace remote
