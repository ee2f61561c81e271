#include "plot/RenderRegistry.h"

#include <cstring>

namespace {
struct Entry {
  const char* name = nullptr;
  RenderBuilder build = nullptr;
};
constexpr int kMaxRenders = 16;
Entry gRenders[kMaxRenders];
}  // namespace

bool RegisterRender(const char* name, RenderBuilder build)
{
  for (Entry& e : gRenders) {
    if (!e.name || std::strcmp(e.name, name) == 0) {
      e.name = name;
      e.build = build;
      return true;
    }
  }
  return false;
}

RenderBuilder FindRender(const std::string& name)
{
  for (const Entry& e : gRenders)
    if (e.name && name == e.name)
      return e.build;
  return nullptr;
}
