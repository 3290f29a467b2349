// A console program that returns from _tmain while a worker it started waits
// for good on a global event, which the end of the program then destroys:
// the program ends all the same, with _tmain's code.
#include <afxmt.h>
#include <afxwin.h>

CEvent g_never(FALSE, TRUE);
CEvent g_started(FALSE, TRUE);

UINT WaitsForGood(LPVOID) {
  g_started.SetEvent();
  CSingleLock lock(&g_never, TRUE);
  return 1;
}

int _tmain(int, TCHAR*[]) {
  if (AfxBeginThread(WaitsForGood, nullptr) == nullptr) return 3;
  if (WaitForSingleObject(g_started, 5000) != WAIT_OBJECT_0) return 4;
  _tprintf(_T("worker %s\n"), _T("blocked"));
  return 0;
}
