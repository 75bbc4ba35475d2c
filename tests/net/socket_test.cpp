#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "error_of.h"
#include "net/abort_scope.h"
#include "net/internet_error.h"
#include "net/socket.h"
#include "support/ftp_server.h"

namespace net {
namespace {

TEST(ResolveFirstIPv4, GivesDottedTextOrNothing) {
  EXPECT_EQ(ResolveFirstIPv4("127.0.0.1"), "127.0.0.1");
  EXPECT_EQ(ResolveFirstIPv4("localhost"), "127.0.0.1");
  EXPECT_EQ(ResolveFirstIPv4("nonexistent.invalid"), std::nullopt);
}

TEST(Socket, EveryCallFailsAsCancelledAfterAnAbort) {
  testsupport::FtpServer server(testsupport::ServerOptions{});
  Socket socket;
  socket.Connect("127.0.0.1", server.port(), 30000);
  socket.Abort();
  char byte = 0;
  // The greeting may already wait in the socket; the abort must still win.
  EXPECT_EQ(ErrorOf([&] { socket.Receive(&byte, 1, 30000); }), kErrorOperationCancelled);
  EXPECT_EQ(ErrorOf([&] { socket.SendAll("NOOP\r\n", 6, 30000); }), kErrorOperationCancelled);
  EXPECT_EQ(ErrorOf([&] { socket.Connect("127.0.0.1", server.port(), 30000); }),
            kErrorOperationCancelled);
}

TEST(AbortScope, AbortsSocketsAndScopesAddedBeforeAndAfterTheAbort) {
  AbortScope session;
  auto early = std::make_unique<AbortScope>(session);
  Socket earlySocket;
  early->Add(earlySocket);
  session.Abort();
  EXPECT_TRUE(early->IsAborted());
  EXPECT_TRUE(earlySocket.IsAborted());

  AbortScope late(session);  // a login that starts after the session was closed
  Socket lateSocket;
  late.Add(lateSocket);
  EXPECT_TRUE(late.IsAborted());
  EXPECT_TRUE(lateSocket.IsAborted());

  early->Remove(earlySocket);
  late.Remove(lateSocket);
  early.reset();  // unregisters from the session, which must not touch it again
  session.Abort();
}

}  // namespace
}  // namespace net
