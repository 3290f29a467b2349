// Mail on one machine in pipe mode; see ipc_mail.h and ipc_router.h.
namespace mailbench {
constexpr bool kPipes = true;
}
#include "ipc_router.h"
