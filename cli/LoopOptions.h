#pragma once
// The loop options that every subcommand accepts, applied to the loop model
// as the program's dialogs would set them.

#include "cli/Cli.h"

#include <string>
#include <vector>

// Takes every loop option out of args (up to a "--") and applies it to Sys().
// Returns 0, 1 with the model's message on err (a value out of its range),
// or 2 with the usage problem in usage.
int ApplyLoopOptions(std::vector<std::string>& args, CliContext::LoopMode& mode, std::string& usage, std::ostream& err);
