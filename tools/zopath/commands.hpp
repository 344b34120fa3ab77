// The subcommands of zopath that live outside main.cpp. Each takes the arguments after its
// name, answers --help itself and returns the process exit status.
#pragma once

#include <string>

namespace zopath {

int cmd_export(int argc, char** argv);
int cmd_flatten(int argc, char** argv);
int cmd_unflatten(int argc, char** argv);
int cmd_info(int argc, char** argv);
// text_cmd.cpp: text into outlines, and the gallery's text page (text.html in dir).
int cmd_text(int argc, char** argv);
bool write_text_gallery(const std::string& dir, std::string* html, std::string* error);

}  // namespace zopath
