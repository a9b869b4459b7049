// The shipped library's fault seam: nothing is ever injected, nothing is counted.
#include "framework/Faults.h"

namespace gibo {

int FaultDue(FileOp) {
    return 0;
}

void TestHook(const char*) {}

}  // namespace gibo
