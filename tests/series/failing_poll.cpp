// Loaded into a program under test with LD_PRELOAD: while the environment
// holds MORLAN_TEST_POLL_FAILS, every poll of the program fails with ENOMEM
// (a wait that keeps failing); otherwise poll is the C library's.
#include <dlfcn.h>
#include <poll.h>

#include <cerrno>
#include <cstdlib>

extern "C" int poll(struct pollfd* fds, nfds_t nfds, int timeout) {
  if (std::getenv("MORLAN_TEST_POLL_FAILS") != nullptr) {
    errno = ENOMEM;
    return -1;
  }
  using Poll = int (*)(struct pollfd*, nfds_t, int);
  static const Poll real = reinterpret_cast<Poll>(::dlsym(RTLD_NEXT, "poll"));
  return real(fds, nfds, timeout);
}
