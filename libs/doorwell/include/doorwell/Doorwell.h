// Shell helpers. GetUrl tells where a saved web page came from: browsers write the mark
// "saved from url=(NNNN)ADDRESS" near the top of a page they save (NNNN is the address
// length in decimal). GetDefaultItemInMenu gives a file's default command: the desktop
// application that opens its type. The actions of the file context menu (Open, Open
// With..., Open Containing Folder, Copy Path, Copy File, Move to Trash, Properties) are in
// FileActions.h and Trash.h; the window shows the menu.
//
// Pure functions apart from reading files; thread-safe.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace doorwell {

// True when an address was found; it is cut to capacity characters.
bool GetUrl(const std::string& fileName, std::string& address, std::size_t capacity = 255);

// The address from the mark in a text, or empty.
std::string urlFromSavedMark(std::string_view text);

// The desktop id of the application that opens the file's type by default
// ("org.gnome.TextEditor.desktop"), read from the XDG folders of the environment; empty
// when the file does not exist or no application is installed for its type.
std::string GetDefaultItemInMenu(const std::string& fileName);

}  // namespace doorwell
