// libFuzzer target for the rejoin walk: any bytes, as a set, must neither crash, hang, nor
// write outside the destination. Build: cmake --build <host build> --target rejoin_fuzz.
#include <cstdlib>

#include "rejoin_fuzz_case.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static rejoin_fuzz::Sandbox sandbox;
    rejoin_fuzz::Outcome outcome = sandbox.Run(data, size);
    if (!outcome.fault.empty()) {
        std::fprintf(stderr, "rejoin fuzz: %s\n", outcome.fault.c_str());
        std::abort();
    }
    return 0;
}
