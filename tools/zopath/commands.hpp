// The subcommands of zopath that live outside main.cpp. Each takes the arguments after its
// name, answers --help itself and returns the process exit status.
#pragma once

namespace zopath {

int cmd_export(int argc, char** argv);
int cmd_flatten(int argc, char** argv);
int cmd_unflatten(int argc, char** argv);
int cmd_info(int argc, char** argv);
int cmd_cut(int argc, char** argv);        // cut_cmd.cpp
int cmd_crossings(int argc, char** argv);  // cut_cmd.cpp

}  // namespace zopath
