// libFuzzer target for the system-file reader. Any input is read or refused
// with one message; every input it reads saves to a text that reads back to
// the same records (the same text again), and applied to a loop it saves the
// same [system] section. Seed it with tests/file/versions/*/.

#include "file/SystemFile.h"
#include "model/Model.h"
#include "model/SysData.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool ok)
{
  if (!ok)
    std::abort();
}

std::string Saved(const LoadedSystem& l)
{
  return SystemFileText(l.system, l.hasEnvironment ? &l.environment : nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  static ModelScope model;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  LoadedSystem first;
  std::string message;
  if (!ReadSystemFile(text, "f.vanto", first, message)) {
    Check(message.rfind("f.vanto", 0) == 0 && message.find('\n') == std::string::npos);
    return 0;
  }
  const std::string saved = Saved(first);
  LoadedSystem second;
  Check(ReadSystemFile(saved, "f.vanto", second, message));
  Check(second.hasEnvironment == first.hasEnvironment);
  Check(second.environment.windows.size() == first.environment.windows.size());
  Check(Saved(second) == saved);
  ApplySystem(second, Sys());
  Check(SystemFileText(Sys()) == SystemFileText(second.system, nullptr));
  return 0;
}
