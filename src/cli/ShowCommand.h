// vellumar-cli show NAME FILE QUERY [--json]: the viewer's hit list without a window. FILE
// (a found file, archive members included) is opened with the viewer's parser set and its
// entries located by the same code as the preview; each is printed with its number, its
// start and length in characters of the shown text, and the text it covers.
//
// Thread: the main thread of the tool.
#pragma once

#include <cstdio>

#include "cli/CliArguments.h"
#include "index/IndexingCore.h"
#include "platform/UserInterface.h"

namespace vellumar::cli {

// position: the index opened for searching, or -1 (the message is out already).
int showFile(IndexingCore& core, int position, UserInterface& ui, const Arguments& arguments,
             std::FILE* out);

}  // namespace vellumar::cli
