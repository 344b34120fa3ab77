// The subcommands of zopath that live outside main.cpp. Each takes the arguments after its
// name, answers --help itself and returns the process exit status.
#pragma once

#include <string>

#include "Zo32path.h"

namespace zopath {

int cmd_export(int argc, char** argv);
int cmd_flatten(int argc, char** argv);
int cmd_unflatten(int argc, char** argv);
int cmd_info(int argc, char** argv);
int cmd_envelope(int argc, char** argv);
int cmd_wrap(int argc, char** argv);
int cmd_bend(int argc, char** argv);
int cmd_stretch(int argc, char** argv);
int cmd_measure(int argc, char** argv);
// text_cmd.cpp: text into outlines, and the gallery's text page (text.html in dir).
int cmd_text(int argc, char** argv);
bool write_text_gallery(const std::string& dir, std::string* html, std::string* error);

int cmd_shape(int argc, char** argv);
int cmd_polygon(int argc, char** argv);
int cmd_draw(int argc, char** argv);
// The gallery's shapes page (shapes_gallery.cpp), appended to html.
bool write_shapes_gallery(const std::string& dir, std::string* html, std::string* error);
int cmd_cut(int argc, char** argv);        // cut_cmd.cpp
int cmd_crossings(int argc, char** argv);  // cut_cmd.cpp
// The demo gallery's cutting section (cut_cmd.cpp).
bool write_cut_gallery(const std::string& dir, std::string* html, std::string* error);
int cmd_project(int argc, char** argv);
int cmd_arrows(int argc, char** argv);
int cmd_shading(int argc, char** argv);

// The outline information of each subpath that has one (arrows_cmd.cpp), for zopath info.
std::string describe_outline_info(ZoPath* list);

// Gallery sections of the commands above: write their pictures into dir, append HTML.
bool write_projection_gallery(const std::string& dir, std::string* html, std::string* error);
bool write_arrows_gallery(const std::string& dir, std::string* html, std::string* error);
bool write_shading_gallery(const std::string& dir, std::string* html, std::string* error);

}  // namespace zopath
