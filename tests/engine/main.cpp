#include <gtest/gtest.h>

#include "net/socket.h"
#include "support/process.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (!net::InitSockets()) {
    return 2;
  }
  return testsupport::EndTestProgram(RUN_ALL_TESTS());
}
