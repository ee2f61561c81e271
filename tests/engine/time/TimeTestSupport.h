#pragma once
// Shared fixture of the time-domain suites: a fresh loop model, a new
// window's settings and a loop set up from texts.

#include "engine/base/Error.h"
#include "engine/time/TimeEngine.h"
#include "tests/DecodedRuns.h"
#include "tests/LoopTexts.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

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
    WriteLoop(l);
    SetElements(st_->loop, l);
  }

  // Runs the engine; "" on success, else the pending message.
  std::string Run()
  {
    ClearError();
    const bool ok = DecodedTimeEngine(Sys(), *st_);
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
