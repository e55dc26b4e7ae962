// The registered document factory (see zm_document.h).
#include "app/zm_document.h"

namespace {
ZmDocumentFactory& Slot() {
    static ZmDocumentFactory factory;
    return factory;
}
}  // namespace

bool ZmRegisterDocument(ZmDocumentFactory factory) {
    Slot() = std::move(factory);
    return true;
}

const ZmDocumentFactory& ZmDocumentFactoryRegistered() { return Slot(); }
