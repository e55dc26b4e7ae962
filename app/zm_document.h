// CZmDocumentSlot: where the project document joins the command chain between the view and the
// application, without the frame knowing its class. The document's own file registers a factory
// from a static initialiser:
//
//     static const bool registered = ZmRegisterDocument(
//         [](CMainFrame& frame, CZmView& view) -> std::unique_ptr<IZmDocument> { ... });
//
// Without a registered document the chain goes from the view straight to the application.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/zm_command_target.h"

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
