#include "platform/thread_priority.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace platform {

void lowerThisThreadsPriority() {
#ifdef Q_OS_WIN
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
#elif defined(SYS_gettid)
    // Linux gives each thread its own nice value; 10 leaves the thread about a tenth of the
    // weight of an ordinary one.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
#endif
}

}  // namespace platform
