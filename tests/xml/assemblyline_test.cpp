// The line between the parser's thread and the calling thread: every tape
// reaches the sink on the calling thread, in order; a sink that fails or
// throws stops the producer, and a producer that throws ends the run with a
// code.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "assemblyline.h"

namespace {

using xtb::xml::AssemblyLine;
using xtb::xml::Tape;

void Write(Tape& tape, int number) {
  const std::string text = std::to_string(number);
  std::memcpy(tape.Extend(text.size()), text.data(), text.size());
}

// Notes each tape's text and the thread it arrived on; fails or throws from a
// given tape on.
struct Recorder final : xtb::xml::TapeSink {
  std::vector<std::string> tapes;
  std::vector<std::thread::id> threads;
  int failFrom = -1;
  int throwFrom = -1;

  HRESULT Take(Tape& tape) override {
    if (static_cast<int>(tapes.size()) == failFrom) return E_OUTOFMEMORY;
    if (static_cast<int>(tapes.size()) == throwFrom) throw std::runtime_error("Abbruch");
    tapes.emplace_back(tape.View());
    threads.push_back(std::this_thread::get_id());
    tape.Clear();
    return S_OK;
  }
};

TEST(AssemblyLine, EveryTapeReachesTheSinkOnTheCallingThreadInOrder) {
  Recorder sink;
  AssemblyLine line(sink);
  std::thread::id producerThread;
  const HRESULT hr = line.Run([&](xtb::xml::TapeSink& sink) {
    producerThread = std::this_thread::get_id();
    Tape tape;
    for (int i = 0; i < 500; ++i) {
      Write(tape, i);
      if (HRESULT taken = sink.Take(tape); FAILED(taken)) return taken;
      EXPECT_TRUE(tape.Empty());  // a spare tape, or a new one
    }
    return S_FALSE;
  });
  EXPECT_EQ(hr, S_FALSE);  // the producer's own result
  EXPECT_NE(producerThread, std::this_thread::get_id());
  ASSERT_EQ(sink.tapes.size(), 500u);
  for (int i = 0; i < 500; ++i) {
    EXPECT_EQ(sink.tapes[i], std::to_string(i));
    EXPECT_EQ(sink.threads[i], std::this_thread::get_id());
  }
}

// A sink that throws must not end the process either: the producer is
// released and joined as for a failure.
TEST(AssemblyLine, AFailingSinkStopsTheProducer) {
  for (const bool throws : {false, true}) {
    Recorder sink;
    (throws ? sink.throwFrom : sink.failFrom) = 3;
    AssemblyLine line(sink);
    int given = 0;
    HRESULT refused = S_OK;
    const HRESULT hr = line.Run([&](xtb::xml::TapeSink& sink) {
      Tape tape;
      for (; given < 100000; ++given) {
        Write(tape, given);
        refused = sink.Take(tape);
        if (FAILED(refused)) return refused;
      }
      return S_OK;
    });
    const HRESULT expected = throws ? E_UNEXPECTED : E_OUTOFMEMORY;
    EXPECT_EQ(hr, expected);
    EXPECT_EQ(refused, expected);
    EXPECT_LT(given, 100);  // stopped within the tapes in flight, not at the end
    EXPECT_EQ(sink.tapes, (std::vector<std::string>{"0", "1", "2"}));
  }
}

// An exception must not leave the producer's thread, which would end the process.
TEST(AssemblyLine, AProducerThatThrowsEndsTheRunWithACode) {
  for (const bool outOfMemory : {true, false}) {
    Recorder sink;
    AssemblyLine line(sink);
    const HRESULT hr = line.Run([&](xtb::xml::TapeSink& sink) -> HRESULT {
      Tape tape;
      Write(tape, 7);
      sink.Take(tape);
      if (outOfMemory) throw std::bad_alloc();
      throw std::runtime_error("Abbruch");
    });
    EXPECT_EQ(hr, outOfMemory ? E_OUTOFMEMORY : E_UNEXPECTED);
    EXPECT_EQ(sink.tapes, std::vector<std::string>{"7"});  // what it gave still arrived
  }
}

}  // namespace
