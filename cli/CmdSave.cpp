// vanto-cli save FILE: the loop the loop options describe, as a system file.

#include "cli/Cli.h"

#include "engine/file/SystemFile.h"
#include "engine/model/Model.h"

#include <ostream>
#include <string>

int CmdSave(CliContext& ctx)
{
  std::string path;
  if (!ctx.takeOnlyText(path, "save needs a file name"))
    return 2;
  std::string message;
  if (!WriteFileAtomically(path, SystemFileText(Sys()), message)) {
    ctx.err << message << '\n';
    return 1;
  }
  return 0;
}
