// Everything the library exports.
#pragma once

#include "platform/api.h"
#include "platform/wintypes.h"
#include "platform/codepage1252.h"
#include "platform/cstring.h"
#include "platform/lasterror.h"
#include "platform/registry.h"
#include "platform/presenter.h"
#include "platform/module.h"
#include "platform/exceptions.h"
#include "platform/clock.h"
#include "platform/timeclasses.h"
#include "platform/beep.h"
#include "platform/dialog.h"
