#pragma once
// Shared fixture of the expression suites: a fresh loop model and error
// record, and helpers that compile and run a text.

#include "engine/base/Error.h"
#include "engine/expr/Expr.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class ExprTest : public ::testing::Test {
protected:
  void SetUp() override { model_ = std::make_unique<ModelScope>(); }
  void TearDown() override { model_.reset(); }

  // The pending message, or "" when none is pending.
  static std::string Pending() { return ErrorPending() ? ErrorMessage() : ""; }

  // Compiles text without variables; the message of a failure, "" on success.
  static std::string ParseMessage(const char* text)
  {
    ClearError();
    CompiledExpr e;
    const bool ok = parse(text, e);
    EXPECT_EQ(ok, !ErrorPending()) << text;
    return Pending();
  }

  std::unique_ptr<ModelScope> model_;
};
