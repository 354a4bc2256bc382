// Shell helpers. GetUrl tells where a saved web page came from: browsers write the mark
// "saved from url=(NNNN)ADDRESS" near the top of a page they save (NNNN is the address
// length in decimal). GetDefaultItemInMenu gives the verb of a file's default command.
// FileContextMenu (a menu of real file actions: Open, Open With..., Open Containing
// Folder, Copy Path, Move to Trash, Properties) is declared here and arrives with the
// result list.
//
// Pure functions apart from reading the file's first bytes; thread-safe.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace doorwell {

// True when an address was found; it is cut to capacity characters.
bool GetUrl(const std::string& fileName, std::string& address, std::size_t capacity = 255);

// The address from the mark in a text, or empty.
std::string urlFromSavedMark(std::string_view text);

// "open" for a file that exists, else empty (no default command).
std::string GetDefaultItemInMenu(const std::string& fileName);

}  // namespace doorwell
