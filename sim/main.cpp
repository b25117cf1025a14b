#include <cstdio>

int main() {
  std::fprintf(stderr, "ulvo-sim: emulator drukarki jeszcze nie istnieje.\n");
  return 1;
}
