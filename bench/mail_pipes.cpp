// Mail on one machine in pipe mode; see mail_local.h and mail_router.h.
namespace mailbench {
constexpr bool kPipes = true;
}
#include "mail_router.h"
