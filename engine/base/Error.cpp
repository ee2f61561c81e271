#include "engine/base/Error.h"

#include <cassert>
#include <cstring>

namespace {
TError* gErr = nullptr;
}

TError& Err()
{
  assert(gErr && "no error record installed");
  return *gErr;
}

TError* InstallErrorRecord(TError* e)
{
  TError* prev = gErr;
  gErr = e;
  return prev;
}

void SetError(const char* msg)
{
  TError& e = Err();
  if (!msg)
    msg = "";
  std::strncpy(e.message, msg, TError::kMaxMessage);
  e.message[TError::kMaxMessage] = '\0';
  e.pending = true;
}

bool ErrorPending()
{
  return Err().pending;
}

void ClearError()
{
  Err().pending = false;
}

const char* ErrorMessage()
{
  return Err().message;
}
