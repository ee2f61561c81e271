#pragma once
// Shared fixture of the time-domain suites: a fresh loop model, a new
// window's settings and a loop set up from texts.

#include "model/Error.h"
#include "model/LoopSwitches.h"
#include "model/Model.h"
#include "model/SysData.h"
#include "time/TimeEngine.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// A loop as a user sets it: the four texts, gain, sample-hold time, delay and
// the elements in the run.
struct LoopTexts {
  const char* gcNum = "1+0.5s";
  const char* gcDen = "s";
  const char* gpNum = "6";
  const char* gpDen = "(s+1)(s^2+1.4s+6)";
  double gain = 1.0;
  double hold = 0.0;
  double delay = 0.0;
  bool compIn = false;
  bool plantIn = true;
  bool closed = true;
};

class TimeTest : public ::testing::Test {
public:
  void SetUp() override
  {
    model_ = std::make_unique<ModelScope>();
    st_ = std::make_unique<TRANSTAT>();
  }
  void TearDown() override
  {
    st_.reset();
    model_.reset();
  }

  SYSDATA& sys() { return Sys(); }
  TRANSTAT& st() { return *st_; }
  const TransResult& res() { return st_->result; }

  // Writes the loop into the model and the settings.
  void SetLoop(const LoopTexts& l)
  {
    SYSDATA& s = Sys();
    SetText(s.num[kCompensator], l.gcNum);
    SetText(s.den[kCompensator], l.gcDen);
    SetText(s.num[kPlant], l.gpNum);
    SetText(s.den[kPlant], l.gpDen);
    s.gain = l.gain;
    s.sampleHold = l.hold;
    s.delay = l.delay;
    st_->loop.compIn = l.compIn;
    st_->loop.plantIn = l.plantIn;
    st_->loop.closedLoop = l.closed;
  }

  // Runs the engine; "" on success, else the pending message.
  std::string Run()
  {
    ClearError();
    const bool ok = TimeEngine(*st_);
    EXPECT_EQ(ok, !ErrorPending());
    return ErrorPending() ? ErrorMessage() : "";
  }

  // Output, control effort and input trace of point i.
  double Y(int i) const { return st_->result.trace[static_cast<std::size_t>(i)].y; }
  double U(int i) const { return st_->result.trace[static_cast<std::size_t>(i)].u; }
  double In(int i) const { return st_->result.trace[static_cast<std::size_t>(i)].input; }

  std::unique_ptr<ModelScope> model_;
  std::unique_ptr<TRANSTAT> st_;
};
