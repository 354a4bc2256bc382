#include "snapcatch/Snapcatch.h"

namespace snapcatch {

bool UnHook() {
    return false;  // no hook is ever installed, so there is nothing to remove
}

}  // namespace snapcatch
