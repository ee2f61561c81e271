#pragma once
// Shared fixture for the window suites: a fresh loop model, message boxes
// answered by the seam (recorded, never shown), and a check that a test
// leaves no top-level window open.

#include "engine/model/Model.h"
#include "gui/base/Messages.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
  *os << '"' << s.toStdString() << '"';
}

class GuiTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Captions and texts of the message boxes shown so far.
  const QList<MessageRecord>& shown() const { return MessageSeam::shown(); }
  // The text of the last message box, or an empty text.
  QString lastMessage() const;

  std::unique_ptr<ModelScope> model_;
};
