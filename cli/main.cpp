// Headless front end. For now: the program's version and the data-access check.
#include <cstdio>

int main() {
  std::printf("Zurararudud %s (%s)\n", ZR_FILE_VERSION, ZR_INTERNAL_NAME);
  return 0;
}
