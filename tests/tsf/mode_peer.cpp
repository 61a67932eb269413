// A second process for the shared-mode test: toggles the conversion target the way Ctrl+Alt+E does
// in the input processor, then exits.
#include "tsf/composition_mgr.h"

int main() {
    qorva_tsf::CompositionManager manager(nullptr);
    manager.ToggleConversionTarget();
    return 0;
}
