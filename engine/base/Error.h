#pragma once
// The one pending-error record shared by every engine, window and dialog.
// Engines and parsers only record a message; windows and dialogs report it.

#include <cstddef>

struct TError {
  static constexpr std::size_t kMaxMessage = 255;
  bool pending = false;
  char message[kMaxMessage + 1] = {};
};

// The error record of the running program; the owner of the loop document
// installs it (a ModelScope).
TError& Err();
// Makes e the running program's error record; returns the one it replaces.
TError* InstallErrorRecord(TError* e);

// Records msg as the pending error, replacing any earlier message. A text
// longer than the record holds is cut at its capacity.
void SetError(const char* msg);

// True while a message is recorded and not yet reported.
[[nodiscard]] bool ErrorPending();

// Clears the pending flag; the text stays stored.
void ClearError();

// The last message recorded (stays after ReportError).
[[nodiscard]] const char* ErrorMessage();
