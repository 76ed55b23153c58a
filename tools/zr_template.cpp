// zr-template SCRIPT OUT.mdb [--force]
// Builds a fresh template file OUT.mdb from the description SCRIPT (plain
// SQL INSERTs into the template tables). An existing OUT is left alone
// unless --force is given. Exit status: 0 built, 1 failed, 2 usage.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "sqlite/template_builder.h"

int main(int argc, char** argv) {
  std::vector<std::string> files;
  bool force = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--force" || a == "-f") {
      force = true;
    } else if (a == "--help" || a == "-h") {
      std::printf("usage: zr-template SCRIPT OUT.mdb [--force]\n");
      return 0;
    } else if (!a.empty() && a[0] == '-') {
      std::fprintf(stderr, "zr-template: unknown option '%s'\n", a.c_str());
      return 2;
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 2) {
    std::fprintf(stderr, "usage: zr-template SCRIPT OUT.mdb [--force]\n");
    return 2;
  }
  try {
    sqlite::BuildTemplate(files[0], files[1], force);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zr-template: %s\n", e.what());
    return 1;
  }
  std::printf("zr-template: wrote %s\n", files[1].c_str());
  return 0;
}
