#pragma once
// The drawing kept on disk as an ordinary pointer data file after every
// step, so that a crash, a kill or the end of the program loses at most
// about the last second of it. The board hands over copies; a worker thread
// writes the newest of them, at most once an interval, through the atomic
// save of lessons. Failures stay silent: the board never waits on a write
// and never hears of one.
#include <chrono>
#include <list>
#include <memory>
#include <string>
#include <thread>

#include "records/draw_record.h"

class CRecoveryWriter {
 public:
  static constexpr char kFileName[] = "last.zsy";
  // The lesson the run before this one left, moved aside by the first write
  // so that drawing before opening it does not overwrite it.
  static constexpr char kPreviousName[] = "previous.zsy";
  static constexpr std::chrono::milliseconds kInterval{1000};
  // How long the end of the program waits for the last write.
  static constexpr std::chrono::milliseconds kExitWait{3000};

  // The data file's place in the user's data folder (GBK); empty when the
  // user has none.
  static std::string DefaultPath();

  explicit CRecoveryWriter(std::string gbkPath, std::chrono::milliseconds interval = kInterval);
  // Writes what is still waiting, for kExitWait at most.
  ~CRecoveryWriter();
  CRecoveryWriter(const CRecoveryWriter&) = delete;
  CRecoveryWriter& operator=(const CRecoveryWriter&) = delete;

  // Copies records [0, count) and the text list for the worker and returns:
  // a copy still waiting is replaced by this newer one. An empty drawing is
  // not written before anything else was, so that starting the program does
  // not overwrite what the last run left.
  void Keep(const DrawRecord* records, int count, const std::list<std::string>& texts);
  // Writes what waits now, without regard to the interval; true when the
  // file holds the newest copy within `limit`.
  bool Flush(std::chrono::milliseconds limit);

  // Files written so far, and the writes that failed.
  int Writes() const;
  int Failures() const;

 private:
  struct State;
  static void Work(std::shared_ptr<State> state);

  std::shared_ptr<State> m_state;
  std::thread m_worker;
};
