// SUNDER_API marks the declarations the shared library exports. The library
// is compiled with hidden visibility, so only the sunder:: API so marked is
// seen by programs that load it; the internals (sunder::detail, the solver's
// C records and routines) stay inside and cannot clash with a program's own
// names.
#ifndef SUNDER_EXPORT_H
#define SUNDER_EXPORT_H

#define SUNDER_API __attribute__((visibility("default")))

#endif
