// ZORB's entry point. The arguments are not used.
#include "app/app.h"
#include "core/desktop.h"
#include "quillon/quillon.h"

int main(int, char**) {
    App_Start();
    if (QL_Engine_Run() != 0) {
        Desktop_ReportFatal(QL_System_LastError());
        return 1;
    }
    return 0;
}
