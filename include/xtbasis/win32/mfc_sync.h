// The framework's synchronisation classes: CCriticalSection, CMutex, CEvent,
// CSemaphore, CSingleLock, CMultiLock.
#pragma once

#include <xtbasis/platform/wintypes.h>
