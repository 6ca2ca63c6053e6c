// The command-line checks of the seven generators, each a function that reads
// a whole command line and returns the number of the first error it meets
// (0 when the line is accepted), so that the checks can be run without
// ending the process. The generator's `error` routine turns the number into
// its message and exit status. The checks are made in the order the
// generators document; none writes anything or draws a random number.
#ifndef GENERATORS_GEN_CHECKS_H
#define GENERATORS_GEN_CHECKS_H

#include <cstdint>

namespace sunder {

// ringforge n [-s seed] [-m edges] [-L low] [-U high] [-l low] [-u high]
struct RingforgeArgs {
  int32_t n, m, seed, L, U, l, u;
};
int checkRingforgeArgs(int argc, char **argv, RingforgeArgs *args);

// motley n k part [-sS] [-m] [-wW]; m is the edge count of the instance.
struct MotleyArgs {
  int32_t n, d, part, seed, wtMax, m;
  int fMatchings;
};
int checkMotleyArgs(int argc, char **argv, MotleyArgs *args);

// tanglenet n d k P [-sS]; m is the edge count, U = 100 * P.
struct TanglenetArgs {
  int32_t n, m, k, U, seed;
};
int checkTanglenetArgs(int argc, char **argv, TanglenetArgs *args);

// spokerim n [-r range] [-s seed]
struct SpokerimArgs {
  int32_t n, R, seed;
};
int checkSpokerimArgs(int argc, char **argv, SpokerimArgs *args);

// hubspin n [-r range] [-s seed]. An unknown option is reported as
// kHubspinUnknownOption, which has a message of its own and status 2.
constexpr int kHubspinUnknownOption = -2;
struct HubspinArgs {
  int32_t n, R, seed;
};
int checkHubspinArgs(int argc, char **argv, HubspinArgs *args);

// twinloop n [-U rim capacity]
struct TwinloopArgs {
  int32_t n, U;
};
int checkTwinloopArgs(int argc, char **argv, TwinloopArgs *args);

// powerlaw n [-k edges per new node] [-c capacity bound] [-s seed]; m is the
// edge count, k(k + 1)/2 + (n - k - 1)k.
struct PowerlawArgs {
  int32_t n, k, maxCap, seed, m;
};
int checkPowerlawArgs(int argc, char **argv, PowerlawArgs *args);

}  // namespace sunder

#endif
