// The command-line checks of the seven generators, each a function that reads
// a whole command line and returns the number of the first error it meets
// (0 when the line is accepted), so that the checks can be run without
// ending the process. The generator's `error` routine turns the number into
// its message and exit status. The checks are made in the order the
// generators document; none writes anything or draws a random number.
#ifndef GENERATORS_GENCHECKS_H
#define GENERATORS_GENCHECKS_H

#include <cstdint>

// ringforge n [-s seed] [-m edges] [-L low] [-U high] [-l low] [-u high]
struct ringforgeArgs {
  int32_t n, m, seed, L, U, l, u;
};
int errRingforgeArgs(int argc, char **argv, ringforgeArgs *pArgs);

// motley n k part [-sS] [-m] [-wW]; m is the edge count of the instance.
struct motleyArgs {
  int32_t n, d, part, seed, wtMax, m;
  int fMatchings;
};
int errMotleyArgs(int argc, char **argv, motleyArgs *pArgs);

// tanglenet n d k P [-sS]; m is the edge count, U = 100 * P.
struct tanglenetArgs {
  int32_t n, m, k, U, seed;
};
int errTanglenetArgs(int argc, char **argv, tanglenetArgs *pArgs);

// spokerim n [-r range] [-s seed]
struct spokerimArgs {
  int32_t n, R, seed;
};
int errSpokerimArgs(int argc, char **argv, spokerimArgs *pArgs);

// hubspin n [-r range] [-s seed]. An unknown option is reported as
// errHubspinUnknownOption, which has a message of its own and status 2.
const int errHubspinUnknownOption = -2;
struct hubspinArgs {
  int32_t n, R, seed;
};
int errHubspinArgs(int argc, char **argv, hubspinArgs *pArgs);

// twinloop n [-U rim capacity]
struct twinloopArgs {
  int32_t n, U;
};
int errTwinloopArgs(int argc, char **argv, twinloopArgs *pArgs);

// powerlaw n [-k edges per new node] [-c capacity bound] [-s seed]; m is the
// edge count, k(k + 1)/2 + (n - k - 1)k.
struct powerlawArgs {
  int32_t n, k, cMax, seed, m;
};
int errPowerlawArgs(int argc, char **argv, powerlawArgs *pArgs);

#endif
