#pragma once

#include "cli/commands.h"

// ovra3 doctor: what the two programs check at start-up, each check with what it found and, for
// a fault, how to mend it, every folder as the host sees it.
namespace cli {

int doctor(const ovra::Installation& installation, const Args& args, Console& console);

} // namespace cli
