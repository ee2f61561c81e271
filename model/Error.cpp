#include "model/Error.h"

#include "model/Model.h"

#include <cstring>

void SetError(const char* msg)
{
  TError& e = Err();
  if (!msg)
    msg = "";
  std::strncpy(e.message, msg, TError::kMaxMessage);
  e.message[TError::kMaxMessage] = '\0';
  e.pending = true;
}

bool ErrorPending() { return Err().pending; }

void ClearError() { Err().pending = false; }

const char* ErrorMessage() { return Err().message; }
