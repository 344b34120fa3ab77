// The zopath tool as a user meets it: a table of command lines with the exit status and a
// fragment of the output each must give (0 done, 1 failed, 2 usage).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string output;  // standard output and error together
};

class ZopathTool : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("zopath_test_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    // The longest line the reader takes whole: 99 characters.
    write("tri.txt", "%" + std::string(98, '-') + "\n3 0\n0 0 6\n100 0 2\n100 100 3\n");
    write("far.txt", "3 0\n0 0 6\n1 1 2\n32768 0 3\n");
    write("nan.txt", "2 0\n0 0 6\n\nnan 5 2\n");
    write("count.txt", "% overflowing count\n2147483648 0\n0 0 6\n");
    write("negative.txt", "-5 0\n0 0 6\n");
    write("join.txt", "1 yes\n0 0 6\n");
    write("kind.txt", "2 0\n0 0 6\n5 5 9\n");
    write("open.txt", "/*\n3 0\n0 0 6\n");
    write("short.txt", "1 0\n5 5 6\n3 0\n0 0 6\n1 1 2\n");
    write("long.txt", std::string(120, '%') + "\n3 0\n0 0 6\n1 0 2\n1 1 3\n");
    ASSERT_EQ(run("flatten tri.txt -o tri.zpb").status, 0);
  }
  void TearDown() override { fs::remove_all(dir_); }

  void write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  std::string read(const std::string& name) {
    std::ifstream in(dir_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // Runs "zopath ARGS" through the shell in the test folder.
  Outcome run(const std::string& args, const std::string& before = "") {
    std::string command =
        "exec 2>&1; cd '" + dir_.string() + "' && " + before + " '" ZOPATH_EXE "' " + args;
    Outcome r{-1, {}};
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return r;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) r.output.append(chunk, n);
    int status = ::pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return r;
  }

  fs::path dir_;
};

TEST_F(ZopathTool, CommandLinesGiveTheirStatusAndMessage) {
  const struct {
    const char* args;
    int status;
    const char* fragment;
  } cases[] = {
      // Every subcommand takes a stored block, and standard input.
      {"info tri.zpb", 0, "perimeter         341.421 px"},
      {"info - < tri.zpb", 0, "library length    200.000 px"},
      {"info tri.txt -o info.out && cat info.out", 0, "bounds + margin   (-5, -5) - (106, 106)"},
      {"export - < tri.zpb", 0, "100 100 3"},
      {"unflatten - < tri.zpb", 0, "3 0\n0 0 6"},
      {"flatten - -o - < tri.txt | cmp - tri.zpb && echo same", 0, "same"},
      {"render - -o - < tri.zpb | head -c 4 | tail -c 3", 0, "PNG"},
      {"transform - --move 10 0 < tri.zpb", 0, "110 100 3"},
      // Failed writes, standard output included.
      {"flatten tri.txt -o /dev/full", 1, "cannot write '/dev/full'"},
      {"info tri.zpb > /dev/full", 1, "cannot write standard output"},
      {"export tri.zpb -o /dev/full", 1, "No space left"},
      {"render tri.txt -o /dev/full", 1, "cannot write"},
      {"transform tri.txt --rotate 5 > /dev/full", 1, "standard output"},
      // Input the reader would take silently, reported with its line.
      {"info far.txt", 1, "far.txt:4: coordinate 32768 is outside the 16.16 range"},
      {"render nan.txt -o x.png", 1, "nan.txt:4: expected a coordinate, found 'nan'"},
      {"info count.txt", 1, "count.txt:2: node count 2147483648"},
      {"info negative.txt", 1, "negative.txt:1: node count -5"},
      {"info join.txt", 1, "join.txt:1: expected a subpath header 'COUNT JOIN'"},
      {"info kind.txt", 1, "kind.txt:3: node type 9 is not a defined node kind"},
      {"info open.txt", 1, "open.txt:1: '/*' is never closed"},
      {"export short.txt", 1, "short.txt:3: the subpath has 2 of its 3 nodes"},
      {"info long.txt", 1, "long.txt:1: line longer than 99 characters"},
      {"info missing.txt", 1, "cannot read 'missing.txt'"},
      // Sizes and ranges the tool refuses, or clamps on request.
      {"render tri.txt -o x.png --scale 1000", 1, "more than --max-pixels 268435456"},
      {"render tri.txt -o x.png --max-pixels 1000", 1, "more than --max-pixels 1000"},
      {"transform tri.txt --move 40000 0", 1, "would leave the 16.16 range"},
      {"transform tri.txt --scale 1e9", 1, "--scale: 3 coordinates would leave"},
      {"transform tri.txt --matrix 1e30 0 0 1 0 0", 1, "--matrix: 2 coordinates"},
      {"transform tri.txt --move 40000 0 --clamp", 0, "32767.99998474121 100 3"},
      // Wrong command lines.
      {"", 2, "usage: zopath COMMAND"},
      {"frobnicate", 2, "unknown command 'frobnicate'"},
      {"render tri.txt", 2, "no output file given"},
      {"render tri.txt -o x.png --aa 12345", 2, "--aa must be one of bilevel (0)"},
      {"render tri.txt -o x.png --format 7", 2, "--format must be one of"},
      {"render tri.txt -o x.png --mode 99", 2, "--mode must be one of"},
      {"render tri.txt -o x.png --margin 100000", 2, "--margin needs a whole number from -4096"},
      {"info tri.txt --bogus", 2, "unknown option '--bogus'"},
      {"flatten tri.txt", 2, "no output file"},
      {"transform tri.txt", 2, "no operation given"},
      {"--help", 0, "Exit status: 0 done; 1 failed"},
  };
  for (const auto& c : cases) {
    Outcome r = run(c.args);
    EXPECT_EQ(r.status, c.status) << "zopath " << c.args << "\n" << r.output;
    EXPECT_NE(r.output.find(c.fragment), std::string::npos) << "zopath " << c.args << "\n"
                                                            << r.output;
  }
}

// A write that fails part-way (here: a file-size limit of 0) leaves the file that was there
// byte for byte, and no temporary file behind.
TEST_F(ZopathTool, AFailedWriteKeepsTheOldFile) {
  std::string before = read("tri.zpb");
  write("two.txt", "2 0\n5 5 6\n9 9 2\n");
  Outcome r = run("flatten two.txt -o tri.zpb", "trap '' XFSZ; ulimit -f 0;");
  EXPECT_EQ(r.status, 1) << r.output;
  EXPECT_NE(r.output.find("cannot write 'tri.zpb'"), std::string::npos) << r.output;
  EXPECT_EQ(read("tri.zpb"), before);
  size_t files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++files;
  EXPECT_EQ(files, 12u);  // the inputs of SetUp and two.txt
  EXPECT_EQ(run("flatten two.txt -o tri.zpb").status, 0);
  EXPECT_NE(read("tri.zpb"), before);
}

}  // namespace
