// CZmDocumentSlot: where the project document joins the command chain between the view and the
// application, without the frame knowing its class. The document's own file registers a factory
// from a static initialiser:
//
//     static const bool registered = ZmRegisterDocument(
//         [](CMainFrame& frame, CZmView& view) -> std::unique_ptr<IZmDocument> { ... });
//
// Without a registered document the chain goes from the view straight to the application.
//
// What reaches the document: the frame's project commands nobody before it took (New 32772,
// Print 32775, Save As 57604, the recent-file entries 57616..57619: entry id - 57616 of
// CMainFrame::RecentFiles()), and the open-project message WM_APP+4 through OnFrameMessage
// (posted by File Open, Ctrl+O and, after start-up, File New). Save 32776 and Ctrl+S are the
// frame's: they post the build (1008). A project built or opened goes into the list with
// frame.RecentFiles().Add(path); the frame stores the list when it closes. The caption is
// frame.SetDocumentTitle(set name).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "dialogs/zm_command_target.h"

class CMainFrame;
class CZmView;

class IZmDocument : public IZmCommandTarget {
public:
    // The framework's new-document step; runs once, at the first File New. False ends start-up.
    virtual bool OnNewDocument() { return true; }
    // A message sent or posted to the main frame that neither the frame nor the view handled
    // (the open-project message WM_APP+4, above all); true when handled, with the result.
    virtual bool OnFrameMessage(UINT /*msg*/, WPARAM /*wp*/, LPARAM /*lp*/, LRESULT& /*result*/) {
        return false;
    }
};

using ZmDocumentFactory = std::function<std::unique_ptr<IZmDocument>(CMainFrame&, CZmView&)>;

// Returns true so that it can initialise a static; a second registration replaces the first.
bool ZmRegisterDocument(ZmDocumentFactory factory);
const ZmDocumentFactory& ZmDocumentFactoryRegistered();
