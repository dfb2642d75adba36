// make-sample <folder>: writes the sample project into the folder.
#include <cstdio>
#include <string>
#include <vector>

#include "SampleProject.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-sample <folder>\n");
    return 2;
  }
  std::vector<std::string> written;
  std::string error;
  if (!sample::MakeSampleProject(argv[1], &written, &error)) {
    std::fprintf(stderr, "make-sample: %s\n", error.c_str());
    return 1;
  }
  std::printf("make-sample: %zu files written into %s\n", written.size(), argv[1]);
  return 0;
}
