// Mail on one machine in mailslot mode; see mail_local.h and mail_router.h.
namespace mailbench {
constexpr bool kPipes = false;
}
#include "mail_router.h"
