// A library that the stack-trace test loads after its first trace, so that
// a frame lies in a module the trace's session has not read yet.
extern "C" __attribute__((visibility("default"), noinline)) int TracePluginCall(int (*callback)(void*), void* arg) {
  const int result = callback(arg);
  asm volatile("" ::: "memory");  // no tail call: this frame stays on the stack
  return result;
}
