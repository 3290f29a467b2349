// Worker threads for the suite's programs: CXTFIFOThread runs queued jobs one
// after another, CXTScheduleThread runs the one job last scheduled, and
// ParallelFor spreads the indexes of a range over a process-wide pool of
// workers, one per processor. Workers carry the name of the job they run
// (at most 15 bytes of it), as debuggers, `ps -L` and crash reports show.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/wintypes.h>

// A job: called on the worker with its context; its result is ignored.
typedef unsigned int(__stdcall* XTThreadJob)(void* context);

// One worker thread running jobs in the order they were scheduled. A job
// equal to the running one or to a queued one (same context, function and
// name) is refused. An idle worker sleeps until a job or a quit arrives: a
// job starts at once, a quit is noticed at once while idle and after the
// running job while busy; jobs still queued then are dropped.
//
// The object is not copyable. Its destructor neither stops nor waits for a
// worker that is still running: it asks it to quit and lets it go. The
// worker finishes the job it runs (a job that never returns, blocked in a
// read, does not hold up the end of the program), drops the queue and ends
// without calling OnQuit. A class that wants its OnQuit called ends the
// worker itself (SetQuit and Stop) in its own destructor.
class XTBASIS_API CXTFIFOThread {
 public:
  CXTFIFOThread();
  virtual ~CXTFIFOThread();
  CXTFIFOThread(const CXTFIFOThread&) = delete;
  CXTFIFOThread& operator=(const CXTFIFOThread&) = delete;

  // Empties the queue and starts the worker; a worker still held from an
  // earlier Start is asked to quit and waited for first. False (and a trace
  // record) when no thread can be created; the object stays usable.
  bool Start();
  // Appends the job; false, with a level-2 trace record naming it, when an
  // equal job is running or queued.
  bool Schedule(void* context, XTThreadJob job, const std::string& name);
  // Asks the worker to end; Stop waits for that.
  void SetQuit();
  // Waits without limit for the worker to end and lets the thread go. Called
  // by a job on its own worker, it lets the thread go without waiting.
  void Stop();
  bool IsRunning() const;
  // A job is running.
  bool IsBusy() const;

 protected:
  // The worker's last act; its result is the thread's exit code.
  virtual unsigned int OnQuit();

 private:
  struct Worker;
  std::shared_ptr<Worker> m_worker;  // shared with the worker, which may outlive the object
};

// One worker thread with a single job slot. Schedule puts a job into the
// slot (replacing one not yet started) and signals the worker; IsBusy tells
// whether a scheduled job has not yet finished. A job scheduled while one
// runs is run after it.
//
// Not copyable; the destructor lets a running worker go as CXTFIFOThread's
// does: it ends after its job (or within 100 ms when idle), without OnQuit.
class XTBASIS_API CXTScheduleThread {
 public:
  CXTScheduleThread();
  virtual ~CXTScheduleThread();
  CXTScheduleThread(const CXTScheduleThread&) = delete;
  CXTScheduleThread& operator=(const CXTScheduleThread&) = delete;

  // Starts the worker (after ending one still held, as CXTFIFOThread::Start).
  bool Start();
  // Fills the slot, names the worker (when running) after `name` and signals
  // it. True when signalled.
  bool Schedule(void* context, XTThreadJob job, const std::string& name);
  // Waits up to `timeoutMs` for a scheduled job: true from Schedule until the
  // job has returned.
  bool IsBusy(unsigned long timeoutMs) const;
  // The worker ends within 100 ms when idle, after its job when busy.
  void SetQuit();
  // Waits without limit for the worker to end.
  void Stop();
  bool IsRunning() const;

 protected:
  virtual unsigned int OnQuit();

 private:
  struct Worker;
  std::shared_ptr<Worker> m_worker;  // shared with the worker, which may outlive the object
};

using XTParallelBody = std::function<void(int index, void* local)>;
using XTParallelInit = std::function<void*()>;
using XTParallelFinish = std::function<void(void* local)>;

// The loop over the indexes [first, end) of one chunk. ParallelFor hands the
// pool one compiled into the calling program, so that the call per index
// stays inside one program image: a processor predicts an indirect call
// into another image worse, about 1 ns per call on the machines measured,
// which is the whole cost of a small body.
using XTParallelChunkLoop = void (*)(const XTParallelBody& body, int first, int end, void* local);

// ParallelFor with the chunk loop to run on the workers and inline.
XTBASIS_API void XTParallelForChunks(int from, int to, const XTParallelBody& body, int chunk,
                                     const XTParallelInit& init, const XTParallelFinish& finish, bool pumpMessages,
                                     XTParallelChunkLoop loop);

namespace xtb::exported {
// ParallelFor under its plain exported name, for programs that look it up
// at run time; it runs the library's own chunk loop.
XTBASIS_C_API void ParallelFor(int from, int to, XTParallelBody body, int chunk, XTParallelInit init,
                               XTParallelFinish finish, bool pumpMessages);
}  // namespace xtb::exported

inline void XTRunParallelChunk(const XTParallelBody& body, int first, int end, void* local) {
  for (int i = first; i < end; ++i) body(i, local);
}

// Calls body(i, local) for every i with from <= i < to, each exactly once,
// and returns when all calls have ended.
//
// When the range is not larger than `chunk`, or the process has one
// processor, everything runs on the calling thread: local = init() (null
// without init), the bodies in ascending order, then finish(local) when local
// is not null. An exception then reaches the caller at once.
//
// Otherwise the range is cut into chunks of `chunk` indexes (0 or negative:
// (to - from) / workers / 2, at least 1), and the workers of the pool take
// them in order whenever they are idle; each chunk runs on one worker in
// ascending order. The calling thread runs none itself; with `pumpMessages`
// it keeps its messages flowing (PreTranslateMessage of the current
// application, then dispatch) while it waits. Each worker calls init once,
// on its first chunk, keeps its local value for its further chunks of this
// call, and hands it to finish at the end (when local is not null). Every
// call starts with fresh local values, finish or not.
//
// A body that throws on a worker ends the call early: chunks not yet handed
// out are skipped, the running ones end, finish runs for every local value,
// and the first exception is thrown again to the caller. The pool stays
// whole for later calls.
//
// The pool starts with the first call and is shut down through the
// application's exit handlers (AtXTExit); later calls run on the calling
// thread. The shutdown waits for no body: while another thread's call is
// still running, its workers are left to end with the process. It serves
// one calling thread at a time; calls from other threads meanwhile run on
// their own thread.
inline void ParallelFor(int from, int to, XTParallelBody body, int chunk = 0, XTParallelInit init = {},
                        XTParallelFinish finish = {}, bool pumpMessages = false) {
  XTParallelForChunks(from, to, body, chunk, init, finish, pumpMessages, &XTRunParallelChunk);
}
