#include "platform/win32_port_problem.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace harvelin {

PortProblem diagnoseOpenFailure(unsigned long error)
{
    PortProblem p;
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)
        p.fault = PortFault::Busy;
    return p;
}

}  // namespace harvelin
