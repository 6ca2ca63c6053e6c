// Test helper: makes one draw without seeding the random module first, which
// must end the process with the module's message and status 17.
#include "generators/random.h"

int main() {
  Random(1, 10);
  return 0;
}
