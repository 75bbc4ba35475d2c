#include <gtest/gtest.h>

#include "net/socket.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (!net::InitSockets()) {
    return 2;
  }
  return RUN_ALL_TESTS();
}
