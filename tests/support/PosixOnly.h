#pragma once
#include <gtest/gtest.h>

// A test that needs what only a POSIX system offers (fork, /dev/full,
// file-size limits, symbolic links for everyone) runs there and is reported
// as skipped, under its own name, elsewhere.
#ifdef _WIN32
#define KELMOR_POSIX_ONLY(needs) GTEST_SKIP() << "needs " needs ", which Windows does not offer"
#else
#define KELMOR_POSIX_ONLY(needs) static_cast<void>(0)
#endif
