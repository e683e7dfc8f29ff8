// The shell's services to bars; empty until the shell fills them in.
#include "model/bar_host.h"

BarHostServices& GetBarHostServices() {
    static BarHostServices services = {};
    return services;
}
