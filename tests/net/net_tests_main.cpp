#include <gtest/gtest.h>

#include "net/socket.h"
#include "support/process.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // As the program does at start-up.
  if (!net::InitSockets()) {
    return 1;
  }
  return testsupport::EndTestProgram(RUN_ALL_TESTS());
}
