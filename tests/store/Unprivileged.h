// Permissions that bind even when the tests run as root.
#pragma once

#include <unistd.h>

#include <cstdlib>

namespace storetest {

// While alive, the process is an ordinary user (nobody) for file access, so
// that permissions bind even when the tests run as root; the saved set-user-ID
// keeps the way back. Without root it changes nothing.
class Unprivileged {
 public:
  Unprivileged() {
    if (geteuid() != 0) return;
    group_ = setresgid(65534, 65534, 0) == 0;
    user_ = group_ && setresuid(65534, 65534, 0) == 0;
  }
  ~Unprivileged() {
    // Staying nobody would spoil every later test.
    if (user_ && setresuid(0, 0, 0) != 0) std::abort();
    if (group_ && setresgid(0, 0, 0) != 0) std::abort();
  }
  // True when the tests run as root and could not leave it.
  bool failed() const { return geteuid() == 0; }

 private:
  bool group_ = false, user_ = false;
};

}  // namespace storetest
