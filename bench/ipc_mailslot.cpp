// Mail on one machine in mailslot mode; see ipc_mail.h and ipc_router.h.
namespace mailbench {
constexpr bool kPipes = false;
}
#include "ipc_router.h"
