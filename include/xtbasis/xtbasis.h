// Everything the library exports.
#pragma once

#include "platform/api.h"
#include "platform/wintypes.h"
#include "platform/codepage1252.h"
#include "platform/cstring.h"
#include "platform/lasterror.h"
#include "platform/registry.h"
