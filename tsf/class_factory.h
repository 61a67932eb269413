// The class factory of the one creatable class, the text service.
#pragma once

#include <windows.h>

#include "tsf/com_object.h"
#include "tsf/text_service.h"

namespace qorva_tsf {

class BanglaClassFactory final : public ComObject<IClassFactory> {
public:
    explicit BanglaClassFactory(CompositionHandlerFactory makeHandler)
        : makeHandler_(makeHandler) {}

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID interfaceId, void** out) override;
    // A lock keeps the module loaded until it is released.
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    ~BanglaClassFactory() override = default;

    CompositionHandlerFactory makeHandler_;
};

// A factory holding one reference whose text services get their composition logic from
// `makeHandler`; null when memory runs out.
BanglaClassFactory* CreateClassFactory(CompositionHandlerFactory makeHandler);

}  // namespace qorva_tsf
