// ZORB's entry point. The arguments are not used.
#include <cstdio>

#include "app/app.h"
#include "quillon/quillon.h"

int main(int, char**) {
    App_Start();
    if (QL_Engine_Run() != 0) {
        std::fprintf(stderr, "ZORB: %s\n", QL_System_LastError());
        return 1;
    }
    return 0;
}
