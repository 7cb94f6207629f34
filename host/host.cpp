// Binding to the host: each name is sent to the host's main window, message
// 30000 for variables and 30001 for functions, and the answer kept at once.
#include "host/host.h"

DWORD HostVariables[HOST_VARIABLE_COUNT];
DWORD HostFunctions[HOST_FUNCTION_COUNT];

namespace {

struct HostName {
    const char* name;
    int function;
    int index;
    int mayBeZero;
};

const HostName hostNames[] = {
#define HOST_VARIABLE(id, name, mayBeZero) {name, 0, HV_##id, mayBeZero},
#define HOST_FUNCTION(id, name) {name, 1, HF_##id, 0},
#include "host/hostnames.inc"
#undef HOST_VARIABLE
#undef HOST_FUNCTION
};

static_assert(sizeof hostNames / sizeof hostNames[0] == HOST_VARIABLE_COUNT + HOST_FUNCTION_COUNT,
              "every host name once");

} // namespace

int ResolveHostInterface(HWND host) {
    for (const HostName& n : hostNames) {
        UINT msg = n.function ? HOSTMSG_GET_FUNCTION : HOSTMSG_GET_VARIABLE;
        DWORD value =
            static_cast<DWORD>(SendMessageA(host, msg, 0, reinterpret_cast<LPARAM>(n.name)));
        if (n.function) {
            HostFunctions[n.index] = value;
        } else {
            HostVariables[n.index] = value;
        }
        if (value == 0 && !n.mayBeZero) return 0;
    }
    return 1;
}
