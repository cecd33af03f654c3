#include <cstdio>
int main() {
  std::puts("kelvane: the Linux window is not built yet");
  return 1;
}
