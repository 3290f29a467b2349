#include <xtbasis/platform/clock.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/messages.h>

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

namespace {

struct Queue {
  std::mutex mutex;
  std::condition_variable posted;
  std::deque<MSG> messages;
};

// The queues by thread id. A queue leaves the table with its thread.
struct QueueTable {
  std::mutex mutex;
  std::map<DWORD, std::shared_ptr<Queue>> queues;
};

QueueTable& Table() {
  static QueueTable* table = new QueueTable;  // threads may end after static destruction
  return *table;
}

class OwnQueue {
 public:
  ~OwnQueue() {
    if (!m_queue) return;
    std::lock_guard lock(Table().mutex);
    Table().queues.erase(m_id);
  }
  Queue& Get() {
    if (!m_queue) {
      m_queue = std::make_shared<Queue>();
      m_id = GetCurrentThreadId();
      std::lock_guard lock(Table().mutex);
      Table().queues[m_id] = m_queue;
    }
    return *m_queue;
  }

 private:
  std::shared_ptr<Queue> m_queue;
  DWORD m_id = 0;
};

thread_local OwnQueue t_queue;

bool Matches(const MSG& msg, HWND window, UINT first, UINT last) {
  if (window != nullptr && msg.hwnd != window) return false;
  if (first == 0 && last == 0) return true;
  return msg.message >= first && msg.message <= last;
}

// The first matching message under the queue's lock; WM_QUIT matches any filter.
bool Take(Queue& queue, LPMSG msg, HWND window, UINT first, UINT last, bool remove) {
  for (auto it = queue.messages.begin(); it != queue.messages.end(); ++it) {
    if (it->message != WM_QUIT && !Matches(*it, window, first, last)) continue;
    *msg = *it;
    if (remove) queue.messages.erase(it);
    return true;
  }
  return false;
}

void Post(Queue& queue, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  {
    std::lock_guard lock(queue.mutex);
    queue.messages.push_back(MSG{window, message, wParam, lParam, GetTickCount(), POINT{0, 0}});
  }
  queue.posted.notify_all();
}

}  // namespace

BOOL PeekMessageA(LPMSG msg, HWND window, UINT first, UINT last, UINT remove) {
  Queue& queue = t_queue.Get();
  std::lock_guard lock(queue.mutex);
  return Take(queue, msg, window, first, last, (remove & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL GetMessageA(LPMSG msg, HWND window, UINT first, UINT last) {
  Queue& queue = t_queue.Get();
  std::unique_lock lock(queue.mutex);
  queue.posted.wait(lock, [&] { return Take(queue, msg, window, first, last, true); });
  return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<Queue> queue;
  {
    std::lock_guard lock(Table().mutex);
    const auto found = Table().queues.find(threadId);
    if (found != Table().queues.end()) queue = found->second;
  }
  if (!queue) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return FALSE;
  }
  Post(*queue, nullptr, message, wParam, lParam);
  return TRUE;
}

void PostQuitMessage(int exitCode) {
  Post(t_queue.Get(), nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageA(const MSG* msg) {
  if (msg == nullptr || msg->hwnd == nullptr) return 0;
  return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}
